# The release packages, made by CPack from a release build (cmake/Release.cmake):
#  - Windows: Quenlor-<version>-win64.zip with Quenlor.exe, quenlor-cli.exe, the Chinese guide
#    使用说明.txt, LICENSE and SHA256SUMS;
#  - Linux: quenlor-cli_<version>_<arch>.deb with /usr/bin/quenlor-cli and its man page.
# tools/release.sh builds the quenlor-release target, then runs cpack.
set(QUENLOR_PACKAGE_DIR "${QUENLOR_GENERATED_DIR}/package")

# Fixed modes, whatever the umask of the machine that builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(quenlor_file_mode OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(quenlor_program_mode ${quenlor_file_mode} OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)

set(CPACK_PACKAGE_VENDOR "Quenlor")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quenlor.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "recovers Flash movies from Flash projectors")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_DIRECTORY "${PROJECT_BINARY_DIR}/packages")

if(WIN32)
    # Texts for Notepad: CRLF line ends (the guide's template starts with a UTF-8 byte order mark).
    configure_file(${PROJECT_SOURCE_DIR}/packaging/使用说明.txt.in ${QUENLOR_PACKAGE_DIR}/使用说明.txt
        @ONLY NEWLINE_STYLE CRLF)
    configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${QUENLOR_PACKAGE_DIR}/LICENSE
        @ONLY NEWLINE_STYLE CRLF)
    set(shipped $<TARGET_FILE:Quenlor> $<TARGET_FILE:quenlor-cli>
        ${QUENLOR_PACKAGE_DIR}/使用说明.txt ${QUENLOR_PACKAGE_DIR}/LICENSE)
    add_custom_command(OUTPUT ${QUENLOR_PACKAGE_DIR}/SHA256SUMS
        COMMAND ${CMAKE_COMMAND} "-DFILES=${shipped}" -DOUTPUT=${QUENLOR_PACKAGE_DIR}/SHA256SUMS
                -P ${CMAKE_CURRENT_LIST_DIR}/Sha256Sums.cmake
        DEPENDS ${shipped} ${CMAKE_CURRENT_LIST_DIR}/Sha256Sums.cmake
        COMMENT "Writing SHA256SUMS"
        VERBATIM)
    add_custom_target(quenlor-release DEPENDS ${QUENLOR_PACKAGE_DIR}/SHA256SUMS)
    add_dependencies(quenlor-release Quenlor quenlor-cli)

    install(TARGETS Quenlor quenlor-cli RUNTIME DESTINATION . PERMISSIONS ${quenlor_program_mode})
    install(FILES ${QUENLOR_PACKAGE_DIR}/使用说明.txt ${QUENLOR_PACKAGE_DIR}/LICENSE
                  ${QUENLOR_PACKAGE_DIR}/SHA256SUMS
            DESTINATION . PERMISSIONS ${quenlor_file_mode})

    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_NAME "Quenlor")
    set(CPACK_PACKAGE_FILE_NAME "Quenlor-${PROJECT_VERSION}-win64")
else()
    # Debian wants man pages compressed with gzip -9n (no name, no time in the header).
    set(man_page ${QUENLOR_PACKAGE_DIR}/quenlor-cli.1.gz)
    add_custom_command(OUTPUT ${man_page}
        COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh ${PROJECT_SOURCE_DIR}/docs/quenlor-cli.1
                ${man_page}
        DEPENDS ${PROJECT_SOURCE_DIR}/docs/quenlor-cli.1
        COMMENT "Compressing the man page"
        VERBATIM)
    add_custom_target(quenlor-release DEPENDS ${man_page})
    add_dependencies(quenlor-release quenlor-cli)

    install(TARGETS quenlor-cli RUNTIME DESTINATION bin PERMISSIONS ${quenlor_program_mode})
    install(FILES ${man_page} DESTINATION share/man/man1 PERMISSIONS ${quenlor_file_mode})
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION share/doc/quenlor-cli
            RENAME copyright PERMISSIONS ${quenlor_file_mode})

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_NAME "quenlor-cli")
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quenlor developers <dev@quenlor.example.org>")
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_PACKAGE_DESCRIPTION "Finds Flash projectors (a stand-alone player with its movie\n\
appended) in a folder tree and copies each one's movie out into a .swf\n\
file, byte for byte: the command line of the Windows program Quenlor.")
endif()

include(CPack)
