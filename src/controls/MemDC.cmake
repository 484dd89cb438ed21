# The grow-only off-screen drawing surface.
add_library(quenlor_memdc STATIC ${CMAKE_CURRENT_LIST_DIR}/cMemDC.cpp)
target_link_libraries(quenlor_memdc PUBLIC quenlor_win user32 gdi32)
