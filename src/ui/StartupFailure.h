// The words of the message shown when the main window cannot start: the program's own, in
// Chinese, then the system's explanation in the user's language where the system has one.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace quenlor {

// "无法创建窗口。" and the like, with the system's message for `system_error` (0: none).
std::wstring StartupFailureText(const std::wstring& what, DWORD system_error);

// The same for an error raised while the window loads its frame and menu bar.
std::wstring StartupFailureText(const std::exception& error);

}  // namespace quenlor
