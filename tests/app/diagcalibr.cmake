# The diagnostics and calibration pages in the main window, offscreen.
zelkor_add_test(test_diagcalibr_app
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_diagcalibr.cpp
  LIBS zelkor_app zelkor_test_support Qt6::Test)
