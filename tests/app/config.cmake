# The configuration page on a scripted device.
zelkor_add_test(test_configpage
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_configpage.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h ${CMAKE_CURRENT_LIST_DIR}/PageRig.h
          ${CMAKE_CURRENT_LIST_DIR}/ConfigFrames.h ${CMAKE_CURRENT_LIST_DIR}/FitCheck.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
