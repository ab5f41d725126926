# The transducer's exception table and its messages.
zelkor_add_test(test_errcodes
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_errcodes.cpp
  LIBS zelkor_device zelkor_test_support)
