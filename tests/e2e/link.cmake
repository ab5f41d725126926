# The link layer (driver, transaction) against a zelkor-sim process on a pty.
zelkor_add_test(test_e2e_link
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_e2e_link.cpp ${CMAKE_CURRENT_LIST_DIR}/SimProcess.h
  LIBS zelkor_link zelkor_test_support)
target_include_directories(test_e2e_link PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(test_e2e_link PRIVATE ZELKOR_SIM_PATH="$<TARGET_FILE:zelkor-sim>")
add_dependencies(test_e2e_link zelkor-sim)
