# The exchange monitor, the measurement trend and the calibration protocol in the program's windows.
find_package(Qt6 REQUIRED COMPONENTS Charts) # the test reads the drawn series
zelkor_add_test(test_records_app
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_monitor.cpp ${CMAKE_CURRENT_LIST_DIR}/test_trend.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_protocol_page.cpp
  LIBS zelkor_app zelkor_test_support Qt6::Charts)
