// The real main window for a benchmark. Its kept choices live under a key of its own, removed once
// the window has read them, so that the program's own settings are left alone.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "ui/Form1.h"

namespace quenlor::bench {

constexpr wchar_t kSettingsKey[] = L"Software\\Quenlor-bench";

inline Form1::Options WindowOptions() {
    Form1::Options options;
    options.settings_key = kSettingsKey;
    return options;
}

// Shows `form`; false, said on stderr in `program`'s name, when it did not open.
inline bool Show(Form1& form, const char* program) {
    if (form.Create(SW_SHOWNORMAL)) return true;
    std::fprintf(stderr, "%s: the main window did not open\n", program);
    return false;
}

// Opens `dir` as the paths given at start are opened (a search fills the list).
inline void SearchFrom(Form1& form, const std::wstring& dir) {
    form.Form_StartPaths({dir});
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

// Without a window manager, destroying a top-level window costs Wine seconds: not measured.
[[noreturn]] inline void Finish() {
    std::fflush(stdout);
    ExitProcess(0);
}

}  // namespace quenlor::bench
