// The properties of a window, for tests that check what registrations leave behind.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace quenlor::test {

// Name -> value of every property with a string name, without the system's own ("__wine_...",
// and the theme's "ux_...").
inline std::map<std::wstring, intptr_t> Properties(HWND hwnd) {
    std::map<std::wstring, intptr_t> props;
    EnumPropsExW(
        hwnd,
        [](HWND, LPWSTR name, HANDLE data, ULONG_PTR found) -> BOOL {
            const bool system = IS_INTRESOURCE(name) || std::wstring(name).rfind(L"__", 0) == 0 ||
                                std::wstring(name).rfind(L"ux_", 0) == 0;
            if (!system)
                (*reinterpret_cast<std::map<std::wstring, intptr_t>*>(found))[name] =
                    reinterpret_cast<intptr_t>(data);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&props));
    return props;
}

}  // namespace quenlor::test
