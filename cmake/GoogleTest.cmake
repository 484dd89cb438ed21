# GoogleTest from the Debian source package, built with the project's own compiler and flags so the
# same tests build natively, under sanitizers and for Windows.
set(QUENLOR_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
if(NOT EXISTS "${QUENLOR_GTEST_SOURCE}/CMakeLists.txt")
    message(FATAL_ERROR "GoogleTest sources not found in ${QUENLOR_GTEST_SOURCE}: run tools/setup.sh")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
if(WIN32)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
endif()
add_subdirectory("${QUENLOR_GTEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# quenlor_add_gtest(NAME SOURCES... [LIBS ...]): one test executable. Natively every case becomes a
# CTest test; under Wine the executable runs as one CTest test, since each start of Wine costs time.
function(quenlor_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
    if(WIN32)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES TIMEOUT 900)
    else()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
    endif()
endfunction()
