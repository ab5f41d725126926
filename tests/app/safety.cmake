# The window at the bench: guarded presses, shown refusals, kept edits, confirmed corrections.
zelkor_add_test(test_benchsafety
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_benchsafety.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h ${CMAKE_CURRENT_LIST_DIR}/PageRig.h
          ${CMAKE_CURRENT_LIST_DIR}/ConfigFrames.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
target_compile_definitions(test_benchsafety PRIVATE ZELKOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
