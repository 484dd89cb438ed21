# The program's version has one home, project(... VERSION ...) in the top CMakeLists.txt. What
# states it (the version resource, the manifest, the About window, quenlor-cli --version and the
# packages) is generated from it into the build tree.
if(NOT PROJECT_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$")
    message(FATAL_ERROR "The project version must be MAJOR.MINOR.PATCH, not '${PROJECT_VERSION}'")
endif()

set(QUENLOR_GENERATED_DIR "${PROJECT_BINARY_DIR}/generated")
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${QUENLOR_GENERATED_DIR}/quenlor/Version.h
    @ONLY)

# Link this to include "quenlor/Version.h".
add_library(quenlor_version INTERFACE)
target_include_directories(quenlor_version INTERFACE ${QUENLOR_GENERATED_DIR})
