// The main window's keyboard shortcuts: a key route to the commands of the owner-painted buttons,
// which take no keyboard input themselves. Each shortcut acts only while its button is enabled.
//   Ctrl+A      全选 / 全不选            Delete   删除
//   Ctrl+Enter  转换                     Esc      停止, or 停止搜索 while a search runs
//   F1          关于
#pragma once

#include <windows.h>

namespace quenlor {

enum class Shortcut { None, SelectAll, Remove, Convert, Stop, About };

struct KeyPress {
    UINT key = 0;              // virtual-key code
    bool ctrl = false;         // Ctrl held
    bool alt = false;          // Alt held
    bool shift = false;        // Shift held
    bool repeat = false;       // an auto-repeat of a key already down
    bool in_text_box = false;  // the focus is in an edit box, which keeps its own editing keys
};

// The shortcut a key press asks for; None when it is an ordinary key.
Shortcut ShortcutFor(const KeyPress& press);

// The key press of a WM_KEYDOWN message, with the modifier state read from the keyboard.
KeyPress KeyPressOf(const MSG& message);

}  // namespace quenlor
