# The journal window and the main window's history, offscreen.
zelkor_add_test(test_journal
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_journal.cpp ${CMAKE_CURRENT_LIST_DIR}/CertificateFixtures.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
target_include_directories(test_journal PRIVATE ${PROJECT_SOURCE_DIR}/tests/app)
