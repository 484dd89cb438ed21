// The paths given to the program on its command line (Explorer's "Send to", a drop on the
// program's icon, a shortcut or a console).
#pragma once

#include <string>
#include <vector>

namespace quenlor {

// The arguments after the program's own name, split by the system's rules. A quote left at the
// end of one (`"D:\My Games\"` is read as D:\My Games") is dropped: no path holds a quote.
std::vector<std::wstring> StartPaths(const wchar_t* command_line);

}  // namespace quenlor
