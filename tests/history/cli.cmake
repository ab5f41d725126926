# zelkor-cli history and certificate; one exchange with zelkor-sim for a recorded write.
zelkor_add_test(test_history_cli
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_history_cli.cpp ${CMAKE_CURRENT_LIST_DIR}/CertificateFixtures.h
  LIBS zelkor_passport Qt6::Core)
target_include_directories(test_history_cli PRIVATE ${PROJECT_SOURCE_DIR}/tests/e2e)
add_dependencies(test_history_cli zelkor-sim zelkor-cli)
target_compile_definitions(test_history_cli PRIVATE ZELKOR_SIM_PATH="$<TARGET_FILE:zelkor-sim>"
                                                    ZELKOR_CLI_PATH="$<TARGET_FILE:zelkor-cli>")
