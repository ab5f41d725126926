zelkor_add_test(test_rb_controls
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_button.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_checkradio.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_accessibility.cpp
  LIBS zelkor_rbcontrols Qt6::Test)
