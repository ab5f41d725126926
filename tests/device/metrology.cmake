# Sensor characteristics, expected currents and the verification logic.
zelkor_add_test(test_metrology
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sensor_characteristic.cpp ${CMAKE_CURRENT_LIST_DIR}/test_verification.cpp
  LIBS zelkor_device zelkor_test_support)
