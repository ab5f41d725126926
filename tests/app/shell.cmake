# Settings file, COM-port list and choice, message dialog.
zelkor_add_test(test_shell
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_serialports.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_comchoice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_messagefrm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_errorbox.cpp
  LIBS zelkor_app zelkor_test_support Qt6::Test)
