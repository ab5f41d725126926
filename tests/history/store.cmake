# The history file: schema, migration, the hash chain, damaged files, kill -9.
add_executable(history_writer ${CMAKE_CURRENT_LIST_DIR}/history_writer.cpp)
target_link_libraries(history_writer PRIVATE zelkor_history)

zelkor_add_test(test_history_store
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_history_store.cpp ${CMAKE_CURRENT_LIST_DIR}/HistoryFixtures.h
  LIBS zelkor_history)
target_compile_definitions(test_history_store PRIVATE HISTORY_WRITER="$<TARGET_FILE:history_writer>")
add_dependencies(test_history_store history_writer)
