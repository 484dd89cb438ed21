#include "ui/Shortcuts.h"

namespace quenlor {

Shortcut ShortcutFor(const KeyPress& press) {
    // Auto-repeat would flip "全选" back and forth while the key is held.
    if (press.repeat || press.alt) return Shortcut::None;
    switch (press.key) {
        case 'A':
            // Ctrl+A in a text box selects its text.
            return press.ctrl && !press.shift && !press.in_text_box ? Shortcut::SelectAll
                                                                    : Shortcut::None;
        case VK_DELETE:
            return !press.ctrl && !press.shift && !press.in_text_box ? Shortcut::Remove
                                                                     : Shortcut::None;
        case VK_RETURN:
            return press.ctrl && !press.shift ? Shortcut::Convert : Shortcut::None;
        case VK_ESCAPE:
            return !press.ctrl && !press.shift ? Shortcut::Stop : Shortcut::None;
        case VK_F1:
            return !press.ctrl && !press.shift ? Shortcut::About : Shortcut::None;
        default:
            return Shortcut::None;
    }
}

KeyPress KeyPressOf(const MSG& message) {
    KeyPress press;
    press.key = static_cast<UINT>(message.wParam);
    press.ctrl = GetKeyState(VK_CONTROL) < 0;
    press.alt = GetKeyState(VK_MENU) < 0;
    press.shift = GetKeyState(VK_SHIFT) < 0;
    press.repeat = (message.lParam & (LPARAM{1} << 30)) != 0;
    wchar_t name[16] = {};
    const HWND focus = GetFocus();
    press.in_text_box =
        focus && GetClassNameW(focus, name, 16) > 0 && lstrcmpiW(name, L"Edit") == 0;
    return press;
}

}  // namespace quenlor
