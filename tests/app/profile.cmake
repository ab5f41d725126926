# Configuration profiles: saving and loading through the pages, and the main window's menu.
zelkor_add_test(test_profilepage
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_profilepage.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h
          ${CMAKE_CURRENT_LIST_DIR}/PageRig.h ${CMAKE_CURRENT_LIST_DIR}/ConfigFrames.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
