// Command lines read the way paths need them. The system's own splitting (CommandLineToArgvW and
// the C runtime) reads a backslash before a quote as an escaped quote, so the quoted folder
// "D:\My Games\" runs on into the next argument. Here a backslash is always itself: quotes only
// group (and are dropped), blanks outside quotes separate. No path holds a quote.
#pragma once

#include <string>
#include <vector>

namespace quenlor {

// Every argument, the program's own name first. `""` gives an empty argument.
std::vector<std::wstring> SplitCommandLine(const std::wstring& line);

// The arguments after the program's own name, empty ones left out: the paths given at start.
std::vector<std::wstring> StartPaths(const std::wstring& line);

}  // namespace quenlor
