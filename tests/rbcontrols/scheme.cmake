# Style manager, scheme files and the colour-scheme start-up step.
zelkor_add_test(test_rb_scheme
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_scheme_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_scheme_apply.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_scheme_look.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_scheme_copy.cpp
  LIBS zelkor_rbcontrols)
target_compile_definitions(test_rb_scheme PRIVATE
  ZELKOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
