# The verification window, its settings page and the calibration page's offer.
zelkor_add_test(test_verification_frm
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_verification_frm.cpp
  LIBS zelkor_app zelkor_test_support Qt6::Test)
