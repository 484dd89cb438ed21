# The skinned frame: caption layout and hit-test tables, the Alt-key filter, and real skinned
# windows under Wine (pixels, caption buttons, keyboard hook, handle hygiene).
quenlor_add_gtest(frame_test
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/CaptionLayoutTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ScaledLayoutTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SkinnedWindowTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CaptionInputTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CaptionOwnerTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/../support/PoisonFreedMemory.cpp
    LIBS quenlor_frame
)
