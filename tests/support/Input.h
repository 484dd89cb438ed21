// Mouse and keyboard input through the system's input queue (SendInput), as the windows under test
// receive it from a person: moves to screen pixels, presses and releases at the pointer, drags,
// keys and text. The messages arrive while the test pumps (Pump.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quenlor::test {

// One mouse event. A move goes to the screen pixel `screen` (absolute coordinates: the smallest
// normalised value that maps onto that pixel); presses and releases happen where the pointer is.
inline void SendMouse(DWORD flags, POINT screen = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    if (flags & MOUSEEVENTF_MOVE) {
        flags |= MOUSEEVENTF_ABSOLUTE;
        const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = static_cast<LONG>((screen.x * 65536LL + cx - 1) / cx);
        input.mi.dy = static_cast<LONG>((screen.y * 65536LL + cy - 1) / cy);
    }
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

inline void MoveTo(POINT screen) {
    SendMouse(MOUSEEVENTF_MOVE, screen);
}

// A left click where the pointer is.
inline void Click() {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

inline void ClickAt(POINT screen) {
    MoveTo(screen);
    Click();
}

// Presses a button (the left one unless told) at `from`, moves to `to` in `steps` equal steps and
// releases it there. The whole gesture is queued at once.
inline void Drag(POINT from, POINT to, int steps = 8, DWORD down = MOUSEEVENTF_LEFTDOWN,
                 DWORD up = MOUSEEVENTF_LEFTUP) {
    MoveTo(from);
    SendMouse(down);
    for (int i = 1; i <= steps; ++i) {
        MoveTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    }
    SendMouse(up);
}

inline void KeyDown(WORD vk) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    SendInput(1, &input, sizeof input);
}

inline void KeyUp(WORD vk) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

// A key pressed and released.
inline void Key(WORD vk) {
    KeyDown(vk);
    KeyUp(vk);
}

// Text typed character by character, whatever the keyboard layout.
inline void TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (const wchar_t c : text) {
        for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | up;
            inputs.push_back(input);
        }
    }
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace quenlor::test
