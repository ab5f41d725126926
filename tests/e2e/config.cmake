# The configuration page and the device search against zelkor-sim on a pty.
zelkor_add_test(test_e2e_config
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_config_sim.cpp ${CMAKE_CURRENT_LIST_DIR}/SimProcess.h
  LIBS zelkor_app zelkor_sim_core zelkor_test_support)
add_dependencies(test_e2e_config zelkor-sim)
target_compile_definitions(test_e2e_config PRIVATE ZELKOR_SIM_PATH="$<TARGET_FILE:zelkor-sim>")
