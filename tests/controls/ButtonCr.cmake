# The owner-painted push button: geometry, real windows under real input, and GDI hygiene.
quenlor_add_gtest(buttoncr_test
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ButtonCrLayoutTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ButtonCrTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ButtonCrDrawTest.cpp
    LIBS quenlor_buttoncr
)

# The program's resource script, linked into a test of its own and read back.
include(${PROJECT_SOURCE_DIR}/src/ui/res/Resources.cmake)
quenlor_add_gtest(resources_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ResourcesTest.cpp ${QUENLOR_RESOURCE_FILES}
    LIBS version quenlor_version
)
