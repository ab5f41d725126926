# Events recorded from the session's signals against a scripted port.
zelkor_add_test(test_history_recorder
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_history_recorder.cpp ${CMAKE_CURRENT_LIST_DIR}/HistoryFixtures.h
  LIBS zelkor_passport zelkor_test_support)
