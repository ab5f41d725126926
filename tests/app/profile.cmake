# Configuration profiles in the main window: the menu, saving and loading through the page.
zelkor_add_test(test_profilepage
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_profilepage.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h
          ${CMAKE_CURRENT_LIST_DIR}/ConfigFrames.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
