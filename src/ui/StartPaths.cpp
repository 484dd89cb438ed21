#include "ui/StartPaths.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>

namespace quenlor {
namespace {

struct LocalFreer {
    void operator()(wchar_t** block) const { LocalFree(block); }
};

}  // namespace

std::vector<std::wstring> StartPaths(const wchar_t* command_line) {
    std::vector<std::wstring> paths;
    // An empty command line would make the system name our own program as the first argument.
    if (!command_line || !*command_line) return paths;
    int count = 0;
    const std::unique_ptr<wchar_t*, LocalFreer> args(CommandLineToArgvW(command_line, &count));
    if (!args) return paths;
    for (int i = 1; i < count; ++i) {
        std::wstring path = args.get()[i];
        if (!path.empty() && path.back() == L'"') path.pop_back();
        if (!path.empty()) paths.push_back(path);
    }
    return paths;
}

}  // namespace quenlor
