# The start-up probe scripts and the start-up benchmark use, and the style
# the program puts over Fusion.
zelkor_add_test(test_startupprobe
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_startupprobe.cpp ${CMAKE_CURRENT_LIST_DIR}/test_programstyle.cpp
  LIBS zelkor_app Qt6::Test)
