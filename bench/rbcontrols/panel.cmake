add_executable(bench_rb_panel ${CMAKE_CURRENT_LIST_DIR}/panel.cpp)
target_link_libraries(bench_rb_panel PRIVATE zelkor_rbcontrols benchmark::benchmark)
