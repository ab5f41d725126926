# The journal window and the history on the controller; the main window's menu and wiring, offscreen.
zelkor_add_test(test_journal
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_journal.cpp ${CMAKE_CURRENT_LIST_DIR}/CertificateFixtures.h ${PROJECT_SOURCE_DIR}/tests/app/PageRig.h
  LIBS zelkor_app zelkor_test_support Qt6::Test)
target_include_directories(test_journal PRIVATE ${PROJECT_SOURCE_DIR}/tests/app)
