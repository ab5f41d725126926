zelkor_add_test(test_diagnostics
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_diagnostics.cpp ${CMAKE_CURRENT_LIST_DIR}/diag_rig.h
  LIBS zelkor_device zelkor_test_support)
