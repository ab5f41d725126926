# Identification, the information record and its save prompt.
zelkor_add_test(test_information
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_information.cpp
  LIBS zelkor_device zelkor_test_support)
