# The settings page of the reference instruments, the meter on the calibration page, and the
# instruments of the main window's verification window.
zelkor_add_test(test_instruments_app
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_instruments_page.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h
          ${CMAKE_CURRENT_LIST_DIR}/PageRig.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
