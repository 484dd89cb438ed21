// Paths as the Win32 file functions are given them.
#pragma once

#include <string>

namespace quenlor {

// Short paths unchanged; a long one (from MAX_PATH - 12 characters on) made absolute, with single
// separators (that form takes every character literally), in the \\?\ form that has no MAX_PATH
// limit: C:\... gives \\?\C:\..., \\server\share\... gives \\?\UNC\server\share\....
std::wstring ForSystem(const std::wstring& path);

}  // namespace quenlor
