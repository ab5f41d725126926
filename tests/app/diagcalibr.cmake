# The diagnostics and calibration pages on a controller, offscreen.
zelkor_add_test(test_diagcalibr_app
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_diagcalibr.cpp ${CMAKE_CURRENT_LIST_DIR}/PageRig.h
          ${CMAKE_CURRENT_LIST_DIR}/DeviceAnswers.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
