# The release build (tools/release.sh): the same sources, built so that two builds from checkouts
# in different folders give the same bytes, and small.
#  - No build path lands in a binary: the source and build folders map to fixed names (the build
#    folder may lie inside the source folder: GCC uses the last map that matches).
#  - No time stamp: the PE header's link time is left out (resources and archives carry none).
#  - No symbols or debug sections: stripped when linked.
if(NOT CMAKE_BUILD_TYPE STREQUAL "Release")
    message(FATAL_ERROR "QUENLOR_RELEASE needs CMAKE_BUILD_TYPE=Release")
endif()

add_compile_options(
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
    -ffile-prefix-map=${PROJECT_BINARY_DIR}=build
)
add_link_options(-s)
if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
endif()

# cpack installs what the quenlor-release target built, without building everything else first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
