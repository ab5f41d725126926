# zelkor-cli against zelkor-sim on a pty: commands, exit status, profiles.
zelkor_add_test(test_e2e_cli
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_sim.cpp ${CMAKE_CURRENT_LIST_DIR}/SimProcess.h
  LIBS zelkor_device Qt6::Core)
add_dependencies(test_e2e_cli zelkor-sim zelkor-cli)
target_compile_definitions(test_e2e_cli PRIVATE ZELKOR_SIM_PATH="$<TARGET_FILE:zelkor-sim>"
                                                ZELKOR_CLI_PATH="$<TARGET_FILE:zelkor-cli>")
