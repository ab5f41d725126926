# The configuration block: register mapping, range checks, read and write on a scripted port.
zelkor_add_test(test_configuration
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_configuration.cpp
  LIBS zelkor_device zelkor_test_support)
