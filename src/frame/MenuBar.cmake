# The drawn menu bar: layout, hot tracking, popup tracking and owner-drawn popup items.
target_sources(quenlor_frame PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/cMenuBar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cMenuBarPopups.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cToolbarMenu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MenuText.cpp
)
