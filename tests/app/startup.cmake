# The start-up probe scripts and the start-up benchmark use.
zelkor_add_test(test_startupprobe
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_startupprobe.cpp
  LIBS zelkor_app Qt6::Test)
