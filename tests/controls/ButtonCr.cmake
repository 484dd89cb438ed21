# The owner-painted push button: geometry, real windows under real input, and GDI hygiene.
quenlor_add_gtest(buttoncr_test
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ButtonCrLayoutTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ButtonCrTest.cpp
    LIBS quenlor_buttoncr
)
