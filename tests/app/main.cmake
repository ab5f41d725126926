# The main window offscreen: start-up, connection lifecycle, close.
zelkor_add_test(test_mainwindow
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_mainwindow.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
