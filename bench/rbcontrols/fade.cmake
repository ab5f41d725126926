add_executable(bench_rb_fade ${CMAKE_CURRENT_LIST_DIR}/bench_fade.cpp)
target_link_libraries(bench_rb_fade PRIVATE zelkor_rbcontrols benchmark::benchmark)
