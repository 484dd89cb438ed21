// The thread keyboard hook shared by all non-client engines: Alt+key presses go to the painter of
// the engine whose window is active, so the emulated menu bar can open its menus by their access
// keys. Installed with the first attached engine, removed with the last.
#pragma once

#include <windows.h>

#include <cstddef>

namespace quenlor {

class cNCCalcSize;

namespace NCKeyboardHook {

void AttachKeyboardHook(cNCCalcSize* engine);  // listed once, however often attached
void DetachKeyboardHook(cNCCalcSize* engine);  // unknown engines are ignored
cNCCalcSize* FindActiveEngine();

bool Installed();
size_t ClientCount();

// Whether a key event seen by the hook (virtual key, keystroke flags) is an Alt+key press to offer
// to the painter: Alt held, going down, not Alt itself, no Ctrl, not F1-F12, Esc or Delete.
bool IsAltKeyForPainter(WPARAM vKey, LPARAM flags, bool ctrlDown);

}  // namespace NCKeyboardHook
}  // namespace quenlor
