# The program against zelkor-sim on a pty (real ticks, real serial backend).
zelkor_add_test(test_e2e_app
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_sim.cpp
  LIBS zelkor_app zelkor_sim_core zelkor_test_support)
add_dependencies(test_e2e_app zelkor-sim)
target_compile_definitions(test_e2e_app PRIVATE
  ZELKOR_SIM_PATH="$<TARGET_FILE:zelkor-sim>"
  ZELKOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
