zelkor_add_test(test_diagnostics
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_diagnostics.cpp
  LIBS zelkor_device zelkor_test_support)
