zelkor_add_test(test_rb_core
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_drawcore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_colors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_customcontrol.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_deferred_layers.cpp
  LIBS zelkor_rbcontrols Qt6::Test)
# Property change signals, the colour-scheme editor's sample among them.
zelkor_add_test(test_rb_notify
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_notify.cpp ${CMAKE_CURRENT_LIST_DIR}/notify_check.h
  LIBS zelkor_rbcontrols Qt6::Test)
