# The verification against zelkor-sim: the command line and the window.
zelkor_add_test(test_e2e_verify
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_verify_sim.cpp ${CMAKE_CURRENT_LIST_DIR}/SimProcess.h
  LIBS zelkor_app zelkor_sim_core zelkor_test_support)
target_include_directories(test_e2e_verify PRIVATE ${CMAKE_CURRENT_LIST_DIR})
add_dependencies(test_e2e_verify zelkor-sim zelkor-cli)
target_compile_definitions(test_e2e_verify PRIVATE ZELKOR_SIM_PATH="$<TARGET_FILE:zelkor-sim>"
                                                   ZELKOR_CLI_PATH="$<TARGET_FILE:zelkor-cli>")
