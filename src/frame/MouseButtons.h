// The state of the mouse buttons as the person holds them, for loops that poll the pointer.
#pragma once

#include <windows.h>

namespace quenlor {

// The primary (left-hand by default) button is held: with swapped buttons that is VK_RBUTTON, as
// GetAsyncKeyState reads the physical buttons.
inline bool PrimaryButtonDown() {
    const int key = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

}  // namespace quenlor
