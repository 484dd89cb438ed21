# The drawn menu bar in a plain host window under real input: layout, hover, popups and their items.
quenlor_add_gtest(test_frame_menubar
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/MenuBarHost.cpp
        ${CMAKE_CURRENT_LIST_DIR}/MenuBarTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ToolbarMenuTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PopupItemsTest.cpp
    LIBS quenlor_frame
)
