# The colour-scheme editor on the scheme look, the scheme in the windows, and the main window's part.
zelkor_add_test(test_styleeditor
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_styleeditor.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h ${CMAKE_CURRENT_LIST_DIR}/PageRig.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
