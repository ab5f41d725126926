# The device layer's catalogue of texts.
zelkor_add_test(test_device_messages
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_device_messages.cpp
  LIBS zelkor_device zelkor_test_support)
