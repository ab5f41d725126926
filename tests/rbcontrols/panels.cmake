# Panel, progress bar and splitter.
zelkor_add_test(test_rb_panels
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_panel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_progressbar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_splitter.cpp
  LIBS zelkor_rbcontrols)
# The controls on a screen of device pixel ratio 2 (its own binary: the
# ratio is fixed when the application starts).
zelkor_add_test(test_rb_hidpi
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_hidpi.cpp
  LIBS zelkor_rbcontrols)
