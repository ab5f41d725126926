zelkor_add_test(test_rb_core
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_drawcore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_colors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_customcontrol.cpp
  LIBS zelkor_rbcontrols)
