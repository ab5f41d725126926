# The transducer controller alone: connection lifecycle, search, reads, prompts.
zelkor_add_test(test_controller
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_controller.cpp
  LIBS zelkor_device zelkor_test_support)
target_include_directories(test_controller PRIVATE ${PROJECT_SOURCE_DIR}/tests/app) # ConfigFrames.h
