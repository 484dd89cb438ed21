// The file-system layer on Windows: wide-character API throughout, so names outside the user's code
// page are found and opened. Enumeration order and mask matching ("*.exe" also matches a long name
// whose short alias ends in .EXE) are the platform's own. Paths come and go in their ordinary form;
// a long one is handed to the system in the \\?\ form, which has no MAX_PATH limit.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "fs/Win32Path.h"
#include "quenlor/FileSystem.h"
#include "quenlor/WriteBehind.h"
#include "win/ResourceOwners.h"

namespace quenlor {

namespace {

constexpr wchar_t kExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t kDevicePrefix[] = L"\\\\.\\";
// Below this length the ordinary form works everywhere (a directory is limited to MAX_PATH - 12).
constexpr size_t kShortPath = MAX_PATH - 12;

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

std::wstring FullPathName(const std::wstring& path) {
    const DWORD need = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (need == 0) return path;
    std::wstring full(need, L'\0');
    const DWORD got = ::GetFullPathNameW(path.c_str(), need, full.data(), nullptr);
    if (got == 0 || got >= need) return path;
    full.resize(got);
    return full;
}

}  // namespace

std::wstring ForSystem(const std::wstring& path) {
    if (path.size() < kShortPath || StartsWith(path, kExtendedPrefix) ||
        StartsWith(path, kDevicePrefix)) {
        return path;
    }
    const std::wstring full = FullPathName(path);
    const bool unc = StartsWith(full, L"\\\\");
    std::wstring result = unc ? L"\\\\?\\UNC\\" : kExtendedPrefix;
    for (size_t i = unc ? 2 : 0; i < full.size(); ++i) {
        if (full[i] == L'\\' && !result.empty() && result.back() == L'\\') continue;
        result += full[i];
    }
    return result;
}

namespace {

// The names Windows keeps for devices in every folder, whatever follows a dot: CON, CON.exe, ...
bool IsReservedDeviceName(const std::wstring& name) {
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    for (wchar_t& c : base) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (base == device) return true;
    }
    const bool port =
        base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0);
    const wchar_t n = port ? base[3] : L'\0';
    return port && ((n >= L'0' && n <= L'9') || n == L'\u00B9' || n == L'\u00B2' || n == L'\u00B3');
}

bool MayNameADevice(const std::wstring& path) {
    if (StartsWith(path, kDevicePrefix)) return true;
    if (StartsWith(path, kExtendedPrefix)) {
        // This form takes names literally: only a drive or a share holds nothing but files.
        const std::wstring rest = path.substr(4);
        const bool drive = rest.size() >= 3 && rest[1] == L':' && rest[2] == L'\\';
        return !drive && !StartsWith(rest, L"UNC\\");
    }
    const size_t name = path.find_last_of(L"\\/:");
    return IsReservedDeviceName(name == std::wstring::npos ? path : path.substr(name + 1));
}

// Fills `entry` in place, so that a caller reusing one entry reuses its name's storage.
void Fill(const WIN32_FIND_DATAW& data, DirEntry& entry) {
    entry.name.assign(data.cFileName);  // the name ends at its first NUL
    entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    entry.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    entry.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

class Win32Enumeration : public DirEnumeration {
  public:
    Win32Enumeration(HANDLE find, const WIN32_FIND_DATAW& first)
        : find_(find), pending_(true), data_(first) {}
    ~Win32Enumeration() override { ::FindClose(find_); }
    Win32Enumeration(const Win32Enumeration&) = delete;
    Win32Enumeration& operator=(const Win32Enumeration&) = delete;

    bool Next(DirEntry& entry) override {
        if (!pending_) {
            if (!::FindNextFileW(find_, &data_)) return false;
        }
        pending_ = false;
        Fill(data_, entry);
        return true;
    }

  private:
    HANDLE find_;
    bool pending_;
    WIN32_FIND_DATAW data_;
};

class EmptyEnumeration : public DirEnumeration {
  public:
    bool Next(DirEntry&) override { return false; }
};

class Win32ReadableFile : public ReadableFile {
  public:
    Win32ReadableFile(HANDLE h, uint64_t size) : h_(h), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* buffer, size_t count, size_t& got) override {
        got = 0;
        auto* out = static_cast<unsigned char*>(buffer);
        while (got < count) {
            const DWORD step = static_cast<DWORD>(std::min<size_t>(count - got, 1u << 30));
            OVERLAPPED at{};
            const uint64_t position = offset + got;
            at.Offset = static_cast<DWORD>(position);
            at.OffsetHigh = static_cast<DWORD>(position >> 32);
            DWORD n = 0;
            if (!::ReadFile(h_.get(), out + got, step, &n, &at)) {
                if (::GetLastError() == ERROR_HANDLE_EOF) break;
                return false;
            }
            if (n == 0) break;
            got += n;
        }
        return true;
    }

  private:
    KernelHandle h_;
    uint64_t size_;
};

// Requests on one synchronous handle are served one after the other: a flush on the writer's own
// handle would hold up its next write for as long as the flush takes. The write-behind therefore
// flushes through a second handle to the same file (the cache it empties is the file's, not the
// handle's); without one, everything is flushed at Commit(). Wine's ReOpenFile fails: there the
// file is opened again by its name, which nobody can take from it while the writer's handle, which
// does not share deletion, is open.
class Win32WritableFile : public WritableFile {
  public:
    Win32WritableFile(HANDLE h, const std::wstring& system_path)
        : h_(h), flusher_(SecondHandle(h, system_path)) {}
    bool Write(const void* data, size_t count) override {
        const auto* in = static_cast<const unsigned char*>(data);
        while (count > 0) {
            const DWORD step = static_cast<DWORD>(std::min<size_t>(count, 1u << 30));
            DWORD n = 0;
            if (!::WriteFile(h_.get(), in, step, &n, nullptr) || n == 0) {
                NoteError();
                return false;
            }
            in += n;
            count -= n;
        }
        return true;
    }
    bool Flush() override {
        if (!flusher_.valid() || write_behind_.Start()) return true;
        NoteError(static_cast<DWORD>(write_behind_.Finish()));
        return false;
    }
    bool Commit() override {
        DWORD error = static_cast<DWORD>(write_behind_.Finish());
        if (error == 0 && !::FlushFileBuffers(h_.get())) error = ::GetLastError();
        if (error != 0) NoteError(error);
        const bool closed = flusher_.Close();
        return h_.Close() && closed && error == 0;
    }
    bool OutOfSpace() const override { return out_of_space_; }

  private:
    static HANDLE SecondHandle(HANDLE h, const std::wstring& system_path) {
        const HANDLE again = ::ReOpenFile(h, GENERIC_WRITE, FILE_SHARE_WRITE, 0);
        if (again != INVALID_HANDLE_VALUE && again != nullptr) return again;  // Wine: null
        return ::CreateFileW(system_path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    void NoteError(DWORD error = ::GetLastError()) {
        out_of_space_ =
            out_of_space_ || error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
    }

    KernelHandle h_;
    KernelHandle flusher_;  // the write-behind's own handle; invalid when none could be opened
    bool out_of_space_ = false;
    WriteBehind write_behind_{[h = flusher_.get()] {
        return ::FlushFileBuffers(h) ? 0 : static_cast<int>(::GetLastError());
    }};
};

bool FileInformation(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    KernelHandle h(::CreateFileW(ForSystem(path).c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return h.valid() && ::GetFileInformationByHandle(h.get(), &info);
}

class Win32FileSystem : public FileSystem {
  public:
    wchar_t Separator() const override { return L'\\'; }

    std::wstring DirectoryPath(const std::wstring& text) const override {
        // A drive root (C:\) and a folder typed with its separator already end in one.
        if (text.size() == 3 || (!text.empty() && text.back() == L'\\')) return text;
        return text + L"\\";
    }

    std::wstring Absolute(const std::wstring& path) const override { return FullPathName(path); }

    std::wstring NameKey(const std::wstring& path) const override {
        // Absolute, single separators (trailing dots and blanks go as the system drops them),
        // then upper case by the invariant table, as the file systems compare names.
        const std::wstring full = FullPathName(path);
        std::wstring key;
        for (size_t i = 0; i < full.size(); ++i) {
            if (full[i] == L'\\' && i > 1 && key.back() == L'\\') continue;
            key += full[i];
        }
        const int length =
            ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, key.c_str(),
                            static_cast<int>(key.size()), nullptr, 0, nullptr, nullptr, 0);
        if (length <= 0) return key;
        std::wstring upper(static_cast<size_t>(length), L'\0');
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, key.c_str(),
                        static_cast<int>(key.size()), upper.data(), length, nullptr, nullptr, 0);
        return upper;
    }

    std::unique_ptr<DirEnumeration> Enumerate(const std::wstring& directory,
                                              const std::wstring& mask) override {
        WIN32_FIND_DATAW data{};
        // No short names (nobody reads them) and large batches: fewer and cheaper system calls.
        // The mask is still matched by the file system, short names included.
        const HANDLE find =
            ::FindFirstFileExW(ForSystem(directory + mask).c_str(), FindExInfoBasic, &data,
                               FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) {
            // A readable directory with no match is empty, not an error.
            if (::GetLastError() == ERROR_FILE_NOT_FOUND)
                return std::make_unique<EmptyEnumeration>();
            return nullptr;
        }
        return std::make_unique<Win32Enumeration>(find, data);
    }

    std::unique_ptr<ReadableFile> OpenRead(const std::wstring& path) override {
        // Others may go on reading and writing the file while we read it.
        KernelHandle h(::CreateFileW(ForSystem(path).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!h.valid()) return nullptr;
        // Kind and size in one query (the by-handle information would also look up the volume).
        FILE_STANDARD_INFO info{};
        if (!::GetFileInformationByHandleEx(h.get(), FileStandardInfo, &info, sizeof info) ||
            info.Directory || info.EndOfFile.QuadPart < 0) {
            return nullptr;
        }
        // A console, port or pipe must not be read (it could block). A path in the device
        // namespace or with a device's reserved name opens one, so those pay for the check; a
        // device reached otherwise (through a link) reports no size, so the scan reads nothing.
        if (MayNameADevice(path) && ::GetFileType(h.get()) != FILE_TYPE_DISK) return nullptr;
        const LARGE_INTEGER size = info.EndOfFile;
        return std::make_unique<Win32ReadableFile>(h.release(),
                                                   static_cast<uint64_t>(size.QuadPart));
    }

    // Each open and read stands alone: nothing is shared between calls.
    bool ReadsInParallel() const override { return true; }

    bool ReadHead(const std::wstring& path, void* buffer, size_t count, size_t& got) override {
        // No size query: a folder does not open without backup semantics, and a device is
        // refused as OpenRead refuses it.
        got = 0;
        KernelHandle h(::CreateFileW(ForSystem(path).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h.valid()) return false;
        if (MayNameADevice(path) && ::GetFileType(h.get()) != FILE_TYPE_DISK) return false;
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(count, 1u << 20));
        if (!::ReadFile(h.get(), buffer, want, &read, nullptr)) return false;
        got = read;
        return true;
    }

    std::unique_ptr<WritableFile> CreateNew(const std::wstring& path) override {
        // Shared for writing only, so that the write-behind's second handle can be opened.
        const std::wstring system_path = ForSystem(path);
        const HANDLE h = ::CreateFileW(system_path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE,
                                       nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32WritableFile>(h, system_path);
    }

    bool Rename(const std::wstring& from, const std::wstring& to) override {
        // A read-only file is not replaced (Windows refuses it; some emulations do not).
        const std::wstring target = ForSystem(to);
        const DWORD existing = ::GetFileAttributesW(target.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY))
            return false;
        return ::MoveFileExW(ForSystem(from).c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }

    // What a rename guarantees here, and what it does not:
    // - MOVEFILE_WRITE_THROUGH makes MoveFileExW wait until a move done as a copy and a delete
    //   (to another volume) is flushed. A rename within one folder is no such move: the flag
    //   promises nothing for it.
    // - On NTFS the rename is one logged metadata change: after a crash the name holds the old
    //   file or the new one, never a mix, and the new one is whole because its data was flushed
    //   (FlushFileBuffers) before the rename. The log is written lazily: the rename itself may be
    //   lost in a crash shortly after MoveFileExW returns.
    // - A later deletion of the source is logged after the rename, so on NTFS a deletion that
    //   survives a crash implies the rename did. FAT and exFAT keep no such log and make neither
    //   promise.
    // - Win32 offers no call that makes a folder's names durable (FlushFileBuffers on a folder
    //   handle is not documented to do so): there is nothing to do here, and it never fails.
    bool SyncFolder(const std::wstring&) override { return true; }

    bool Remove(const std::wstring& path) override {
        return ::DeleteFileW(ForSystem(path).c_str()) != FALSE;
    }

    bool IsFolder(const std::wstring& path) override {
        const DWORD attributes = ::GetFileAttributesW(ForSystem(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    // A junction or a folder link is removed as a folder; what it leads to stays.
    bool RemoveFolder(const std::wstring& path) override {
        return ::RemoveDirectoryW(ForSystem(path).c_str()) != FALSE;
    }

    bool IsNormalFile(const std::wstring& path) override {
        const DWORD attributes = ::GetFileAttributesW(ForSystem(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return false;
        return (attributes &
                (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
    }

    bool Identity(const std::wstring& path, FileIdentity& identity) override {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!FileInformation(path, info)) return false;
        identity.volume = info.dwVolumeSerialNumber;
        identity.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        return true;
    }

    bool FileSize(const std::wstring& path, uint64_t& size) override {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(ForSystem(path).c_str(), GetFileExInfoStandard, &data))
            return false;
        size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        return true;
    }
};

}  // namespace

FileSystem& NativeFileSystem() {
    static Win32FileSystem fs;
    return fs;
}

}  // namespace quenlor
