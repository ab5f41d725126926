# Every window's controls through the accessibility interface, offscreen.
zelkor_add_test(test_accessibility
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_accessibility.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h ${CMAKE_CURRENT_LIST_DIR}/PageRig.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
