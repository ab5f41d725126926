# The device search and the connect dialog on a scripted line.
zelkor_add_test(test_search
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_search.cpp ${CMAKE_CURRENT_LIST_DIR}/test_quicksearch.cpp ${CMAKE_CURRENT_LIST_DIR}/MainRig.h ${CMAKE_CURRENT_LIST_DIR}/PageRig.h
          ${CMAKE_CURRENT_LIST_DIR}/ConfigFrames.h ${CMAKE_CURRENT_LIST_DIR}/FitCheck.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
