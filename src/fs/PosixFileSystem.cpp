// The file-system layer on POSIX systems. Names are UTF-8 on disk; bytes that are not valid UTF-8
// survive the round trip (see Text.h). A name beginning with "." counts as hidden. Directories are
// listed in byte order of their names, so a walk is the same on every run.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <vector>

#include "fs/PosixFileSystem.h"
#include "quenlor/FileSystem.h"
#include "quenlor/Text.h"
#include "quenlor/WriteBehind.h"

namespace quenlor {

namespace {

bool AsciiEqualNoCase(wchar_t a, wchar_t b) {
    auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c; };
    return lower(a) == lower(b);
}

// "*" matches any run of characters, "?" one character, the rest case-insensitively (ASCII).
// "*.*" matches every name, as on Windows.
bool MatchMask(const std::wstring& mask, const std::wstring& name) {
    if (mask == L"*.*" || mask == L"*") return true;
    size_t m = 0, n = 0, star = std::wstring::npos, resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == L'?' || AsciiEqualNoCase(mask[m], name[n]))) {
            ++m, ++n;
        } else if (m < mask.size() && mask[m] == L'*') {
            star = m++;
            resume = n;
        } else if (star != std::wstring::npos) {
            m = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == L'*') ++m;
    return m == mask.size();
}

std::wstring BaseName(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    bool Close() {
        if (fd_ < 0) return true;
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0;
    }

  private:
    int fd_;
};

class PosixEnumeration : public DirEnumeration {
  public:
    explicit PosixEnumeration(std::vector<DirEntry> entries) : entries_(std::move(entries)) {}
    bool Next(DirEntry& entry) override {
        if (next_ >= entries_.size()) return false;
        entry = entries_[next_++];
        return true;
    }

  private:
    std::vector<DirEntry> entries_;
    size_t next_ = 0;
};

class PosixReadableFile : public ReadableFile {
  public:
    PosixReadableFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* buffer, size_t count, size_t& got) override {
        got = 0;
        auto* out = static_cast<unsigned char*>(buffer);
        while (got < count) {
            const size_t step = std::min<size_t>(count - got, 1 << 30);
            const ssize_t n = ::pread(fd_.get(), out + got, step, static_cast<off_t>(offset + got));
            if (n < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
        return true;
    }

  private:
    Fd fd_;
    uint64_t size_;
};

int SyncFileNow(int fd, bool final) {
    // The data during the copy; the final sync takes the file's size and times along.
    return (final ? ::fsync(fd) : ::fdatasync(fd)) == 0 ? 0 : errno;
}

int SyncFolderNow(const char* folder) {
    Fd fd(::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) return errno;
    return ::fsync(fd.get()) == 0 ? 0 : errno;
}

class PosixWritableFile : public WritableFile {
  public:
    PosixWritableFile(int fd, const PosixSyncCalls& sync) : fd_(fd), sync_(sync) {}
    bool Write(const void* data, size_t count) override {
        const auto* in = static_cast<const unsigned char*>(data);
        while (count > 0) {
            const ssize_t n = ::write(fd_.get(), in, std::min<size_t>(count, 1 << 30));
            if (n < 0) {
                if (errno == EINTR) continue;
                NoteError();
                return false;
            }
            in += n;
            count -= static_cast<size_t>(n);
        }
        return true;
    }
    bool Flush() override {
        if (write_behind_.Start()) return true;
        NoteError(write_behind_.Finish());
        return false;
    }
    bool Commit() override {
        int error = write_behind_.Finish();
        if (error == 0) error = sync_.file(fd_.get(), true);
        if (error != 0) NoteError(error);
        return fd_.Close() && error == 0;
    }
    bool OutOfSpace() const override { return out_of_space_; }

  private:
    void NoteError(int error = errno) {
        out_of_space_ = out_of_space_ || error == ENOSPC || error == EDQUOT;
    }

    Fd fd_;
    PosixSyncCalls sync_;
    bool out_of_space_ = false;
    WriteBehind write_behind_{[fd = fd_.get(), sync = sync_.file] { return sync(fd, false); }};
};

class PosixFileSystem : public FileSystem {
  public:
    explicit PosixFileSystem(const PosixSyncCalls& sync) : sync_(sync) {}

    wchar_t Separator() const override { return L'/'; }

    std::wstring DirectoryPath(const std::wstring& text) const override {
        if (!text.empty() && text.back() == L'/') return text;
        return text + L"/";
    }

    std::wstring Absolute(const std::wstring& path) const override {
        if (!path.empty() && path[0] == L'/') return path;
        std::vector<char> cwd(PATH_MAX);
        while (::getcwd(cwd.data(), cwd.size()) == nullptr) {
            if (errno != ERANGE) return path;
            cwd.resize(cwd.size() * 2);
        }
        std::wstring base = FromUtf8(cwd.data());
        if (base.empty() || base.back() != L'/') base += L'/';
        return path.empty() ? base : base + path;
    }

    std::wstring NameKey(const std::wstring& path) const override {
        // Names compare byte for byte; only repeated separators say nothing.
        std::wstring key;
        for (wchar_t c : Absolute(path)) {
            if (c != L'/' || key.empty() || key.back() != L'/') key += c;
        }
        return key;
    }

    std::unique_ptr<DirEnumeration> Enumerate(const std::wstring& directory,
                                              const std::wstring& mask) override {
        const std::string dir = ToUtf8(directory);
        DIR* handle = ::opendir(dir.empty() ? "." : dir.c_str());
        if (handle == nullptr) return nullptr;
        std::vector<std::pair<std::string, DirEntry>> found;
        while (const dirent* d = ::readdir(handle)) {
            DirEntry entry;
            entry.name = FromUtf8(d->d_name);
            if (!MatchMask(mask, entry.name)) continue;
            entry.hidden = !entry.name.empty() && entry.name[0] == L'.';
            // The entry's type usually comes with the listing; ask the file system only when not.
            const std::string full = dir + d->d_name;
            unsigned char type = d->d_type;
            if (type == DT_UNKNOWN) {
                struct stat st {};
                if (::lstat(full.c_str(), &st) == 0) {
                    type = S_ISLNK(st.st_mode) ? DT_LNK : S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
                }
            }
            if (type == DT_LNK) {
                entry.link = true;
                struct stat target {};
                entry.directory = ::stat(full.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
            } else {
                entry.directory = type == DT_DIR;
            }
            found.emplace_back(d->d_name, std::move(entry));
        }
        ::closedir(handle);
        std::sort(found.begin(), found.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<DirEntry> entries;
        entries.reserve(found.size());
        for (auto& f : found) entries.push_back(std::move(f.second));
        return std::make_unique<PosixEnumeration>(std::move(entries));
    }

    std::unique_ptr<ReadableFile> OpenRead(const std::wstring& path) override {
        // Non-blocking open: a FIFO or device named like a projector must not hang the walk.
        Fd fd(::open(ToUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        if (fd.get() < 0) return nullptr;
        struct stat st {};
        // O_NONBLOCK has no effect on reads of a regular file, so it may stay set.
        if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
        return std::make_unique<PosixReadableFile>(fd.release(), static_cast<uint64_t>(st.st_size));
    }

    // Each open and read stands alone: nothing is shared between calls.
    bool ReadsInParallel() const override { return true; }

    bool ReadHead(const std::wstring& path, void* buffer, size_t count, size_t& got) override {
        // No fstat: a read of a directory fails, and O_NONBLOCK keeps a FIFO or device from
        // hanging the walk.
        got = 0;
        Fd fd(::open(ToUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        if (fd.get() < 0) return false;
        ssize_t n = 0;
        do {
            n = ::pread(fd.get(), buffer, count, 0);
        } while (n < 0 && errno == EINTR);
        if (n < 0) return false;
        got = static_cast<size_t>(n);
        return true;
    }

    std::unique_ptr<WritableFile> CreateNew(const std::wstring& path) override {
        const int fd = ::open(ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) return nullptr;
        return std::make_unique<PosixWritableFile>(fd, sync_);
    }

    bool Rename(const std::wstring& from, const std::wstring& to) override {
        return ::rename(ToUtf8(from).c_str(), ToUtf8(to).c_str()) == 0;
    }

    bool SyncFolder(const std::wstring& folder) override {
        const int error = sync_.folder(folder.empty() ? "." : ToUtf8(folder).c_str());
        // A file system that cannot sync a folder says so; it has nothing to make durable that way.
        return error == 0 || error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP;
    }

    bool Remove(const std::wstring& path) override { return ::unlink(ToUtf8(path).c_str()) == 0; }

    bool IsFolder(const std::wstring& path) override {
        struct stat st {};
        return ::stat(ToUtf8(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    bool RemoveFolder(const std::wstring& path) override {
        const std::string name = ToUtf8(path);
        struct stat st {};
        if (::lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            return ::unlink(name.c_str()) == 0;
        return ::rmdir(name.c_str()) == 0;
    }

    bool IsNormalFile(const std::wstring& path) override {
        struct stat st {};
        if (::stat(ToUtf8(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
        const std::wstring name = BaseName(path);
        return name.empty() || name[0] != L'.';
    }

    bool Identity(const std::wstring& path, FileIdentity& identity) override {
        struct stat st {};
        if (::stat(ToUtf8(path).c_str(), &st) != 0) return false;
        identity.volume = static_cast<uint64_t>(st.st_dev);
        identity.index = static_cast<uint64_t>(st.st_ino);
        return true;
    }

    bool FileSize(const std::wstring& path, uint64_t& size) override {
        struct stat st {};
        if (::stat(ToUtf8(path).c_str(), &st) != 0) return false;
        size = static_cast<uint64_t>(st.st_size);
        return true;
    }

  private:
    PosixSyncCalls sync_;
};

}  // namespace

const PosixSyncCalls PosixSyncCalls::kNative = {&SyncFileNow, &SyncFolderNow};

std::unique_ptr<FileSystem> NewPosixFileSystem(const PosixSyncCalls& sync) {
    return std::make_unique<PosixFileSystem>(sync);
}

FileSystem& NativeFileSystem() {
    static PosixFileSystem fs(PosixSyncCalls::kNative);
    return fs;
}

}  // namespace quenlor
