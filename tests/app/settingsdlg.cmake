# The settings dialog on a controller: its handlers on the settings record and the file.
zelkor_add_test(test_settingsdlg
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_settingsdlg.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h ${CMAKE_CURRENT_LIST_DIR}/PageRig.h
          ${CMAKE_CURRENT_LIST_DIR}/FitCheck.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
