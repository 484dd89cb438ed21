# The off-screen drawing surface on the real display, with GDI handle exhaustion checks.
quenlor_add_gtest(memdc_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/MemDCTest.cpp LIBS quenlor_memdc)
