// The floor the Windows scan is measured against: walks the tree with one enumeration per folder
// (basic information, large fetch) and, for each .exe, makes one CreateFileW, one ReadFile of the
// byte range the search's scan reads (from 286699 to 377002, cut at the end of the file, whose
// size the enumeration gave) and one CloseHandle. Nothing else: no matching, no output per file.
//   quenlor-bench-winfloor DIR
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr unsigned long long kBegin = 286699, kEnd = 377002;
std::vector<unsigned char> buffer(kEnd - kBegin);
unsigned long long total = 0;

bool IsExe(const wchar_t* name) {
    const size_t length = std::wcslen(name);
    return length >= 4 && _wcsicmp(name + length - 4, L".exe") == 0;
}

void Read(const std::wstring& path, unsigned long long size) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    if (size > kBegin + 1) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(kBegin);
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>((size < kEnd ? size : kEnd) - kBegin);
        if (ReadFile(file, buffer.data(), want, &got, &at)) total += got;
    }
    CloseHandle(file);
}

void Walk(const std::wstring& dir) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileExW((dir + L"\\*").c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return;
    std::vector<std::wstring> subdirs;
    do {
        if (data.cFileName[0] == L'.') continue;
        const std::wstring path = dir + L"\\" + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            subdirs.push_back(path);
        } else if (IsExe(data.cFileName)) {
            Read(path,
                 (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    for (const auto& sub : subdirs) Walk(sub);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    Walk(argv[1]);
    std::printf("%llu bytes read\n", total);
    return 0;
}
