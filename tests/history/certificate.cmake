# The certificate: what it gathers from the history, its text through pdftotext, its check.
zelkor_add_test(test_certificate
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_certificate.cpp ${CMAKE_CURRENT_LIST_DIR}/CertificateFixtures.h
  LIBS zelkor_passport)
