# The information page on a controller over a scripted port.
zelkor_add_test(test_infopage
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_infopage.cpp ${CMAKE_CURRENT_LIST_DIR}/PageRig.h
          ${CMAKE_CURRENT_LIST_DIR}/DeviceAnswers.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
