# The program's resource script. Includers add QUENLOR_RESOURCE_FILES to an executable's sources;
# windres finds the pictures beside the script, and the manifest and the version header, which
# carry the project's version, in the build tree.
if(NOT CMAKE_RC_COMPILER_LOADED)
    enable_language(RC)
endif()
set(QUENLOR_RESOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}")
set(QUENLOR_RESOURCE_FILES "${QUENLOR_RESOURCE_DIR}/Quenlor.rc")
configure_file("${QUENLOR_RESOURCE_DIR}/Quenlor.manifest.in"
    "${QUENLOR_GENERATED_DIR}/Quenlor.manifest" @ONLY)
set_source_files_properties("${QUENLOR_RESOURCE_DIR}/Quenlor.rc" PROPERTIES
    INCLUDE_DIRECTORIES "${QUENLOR_RESOURCE_DIR};${QUENLOR_GENERATED_DIR}"
    OBJECT_DEPENDS "${QUENLOR_RESOURCE_DIR}/resource.h;${QUENLOR_RESOURCE_DIR}/Quenlor.ico;${QUENLOR_RESOURCE_DIR}/Banner.bmp;${QUENLOR_RESOURCE_DIR}/PicCaption.bmp;${QUENLOR_RESOURCE_DIR}/PicBorder.bmp;${QUENLOR_RESOURCE_DIR}/PicCaption120.bmp;${QUENLOR_RESOURCE_DIR}/PicBorder120.bmp;${QUENLOR_RESOURCE_DIR}/PicCaption144.bmp;${QUENLOR_RESOURCE_DIR}/PicBorder144.bmp;${QUENLOR_RESOURCE_DIR}/PicCaption192.bmp;${QUENLOR_RESOURCE_DIR}/PicBorder192.bmp;${QUENLOR_RESOURCE_DIR}/Link.cur;${QUENLOR_GENERATED_DIR}/Quenlor.manifest;${QUENLOR_GENERATED_DIR}/quenlor/Version.h"
)
