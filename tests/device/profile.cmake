# Configuration profiles: reading, writing and the page's checks, without a device.
zelkor_add_test(test_config_profile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_config_profile.cpp
  LIBS zelkor_device)
