# The reference instruments of zelkor-sim (a SCPI meter and resistance source
# on ptys of their own) with the program's calibration and verification.
zelkor_add_test(test_e2e_instruments
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_instruments_sim.cpp ${CMAKE_CURRENT_LIST_DIR}/SimProcess.h
  LIBS zelkor_app zelkor_sim_core zelkor_test_support)
target_include_directories(test_e2e_instruments PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(test_e2e_instruments PRIVATE ZELKOR_SIM_PATH="$<TARGET_FILE:zelkor-sim>"
                                                        ZELKOR_CLI_PATH="$<TARGET_FILE:zelkor-cli>")
add_dependencies(test_e2e_instruments zelkor-sim zelkor-cli)
