# The owner-painted push button.
add_library(quenlor_buttoncr STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ButtonCr.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ButtonCrLayout.cpp
)
target_link_libraries(quenlor_buttoncr PUBLIC quenlor_win user32 gdi32)
