# Panel, progress bar and splitter.
zelkor_add_test(test_rb_panels
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_panel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_progressbar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_splitter.cpp
  LIBS zelkor_rbcontrols)
