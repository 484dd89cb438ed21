# The skinned window frame: the non-client engine with its keyboard hook, and the caption painter.
target_sources(quenlor_frame PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CaptionLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameHitTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NCKeyboardHook.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinPicture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cNCCalcSize.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cNCCalcSizeDrag.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cNCCalcSizeDefaultPaint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cNeoCaption.cpp
)
