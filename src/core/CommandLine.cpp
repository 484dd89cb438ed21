#include "quenlor/CommandLine.h"

namespace quenlor {

std::vector<std::wstring> SplitCommandLine(const std::wstring& line) {
    std::vector<std::wstring> args;
    std::wstring arg;
    bool in_arg = false, quoted = false;
    for (const wchar_t c : line) {
        if (c == L'"') {
            quoted = !quoted;
            in_arg = true;  // "" is an argument, if an empty one
        } else if (!quoted && (c == L' ' || c == L'\t')) {
            if (in_arg) args.push_back(std::move(arg));
            arg.clear();
            in_arg = false;
        } else {
            arg += c;
            in_arg = true;
        }
    }
    if (in_arg) args.push_back(std::move(arg));
    return args;
}

std::vector<std::wstring> StartPaths(const std::wstring& line) {
    std::vector<std::wstring> paths;
    const std::vector<std::wstring> args = SplitCommandLine(line);
    for (size_t i = 1; i < args.size(); ++i) {
        if (!args[i].empty()) paths.push_back(args[i]);
    }
    return paths;
}

}  // namespace quenlor
