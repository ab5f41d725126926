# Diagnostics, the R0 correction and a whole calibration against zelkor-sim.
zelkor_add_test(test_e2e_diagcalibr
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_diagcalibr_sim.cpp ${CMAKE_CURRENT_LIST_DIR}/SimProcess.h
  LIBS zelkor_app zelkor_sim_core zelkor_test_support)
target_include_directories(test_e2e_diagcalibr PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(test_e2e_diagcalibr PRIVATE ZELKOR_SIM_PATH="$<TARGET_FILE:zelkor-sim>")
add_dependencies(test_e2e_diagcalibr zelkor-sim)
