# The parts the main window is composed of, each without the window.
zelkor_add_test(test_composition
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_composition.cpp ${CMAKE_CURRENT_LIST_DIR}/PageRig.h
          ${CMAKE_CURRENT_LIST_DIR}/DeviceAnswers.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
