# Indicator styles: read, edited in their dialog, written; the main window's start-up and menu.
zelkor_add_test(test_indstyle_app
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_indstyle_app.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h ${CMAKE_CURRENT_LIST_DIR}/PageRig.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
