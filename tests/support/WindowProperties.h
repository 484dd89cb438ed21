// The properties of a window, for tests that check what registrations leave behind.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace quenlor::test {

// Name -> value of every property with a string name, without Wine's own "__wine_..." ones.
inline std::map<std::wstring, intptr_t> Properties(HWND hwnd) {
    std::map<std::wstring, intptr_t> props;
    EnumPropsExW(
        hwnd,
        [](HWND, LPWSTR name, HANDLE data, ULONG_PTR found) -> BOOL {
            if (!IS_INTRESOURCE(name) && std::wstring(name).rfind(L"__", 0) != 0)
                (*reinterpret_cast<std::map<std::wstring, intptr_t>*>(found))[name] =
                    reinterpret_cast<intptr_t>(data);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&props));
    return props;
}

}  // namespace quenlor::test
