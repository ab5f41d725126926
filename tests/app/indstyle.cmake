# Indicator styles through the main window: start-up, the dialog, close.
zelkor_add_test(test_indstyle_app
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_indstyle_app.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
