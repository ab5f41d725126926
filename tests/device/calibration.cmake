zelkor_add_test(test_calibration
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_calibration.cpp
  LIBS zelkor_device zelkor_test_support)
