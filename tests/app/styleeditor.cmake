# The colour-scheme editor in the running program, and the scheme in its windows.
zelkor_add_test(test_styleeditor
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_styleeditor.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
