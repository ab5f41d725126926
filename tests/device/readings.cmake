# The reading store, its CSV and the calibration protocol, without windows.
zelkor_add_test(test_readings
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_readings.cpp ${CMAKE_CURRENT_LIST_DIR}/test_protocol.cpp
  LIBS zelkor_device zelkor_test_support)
