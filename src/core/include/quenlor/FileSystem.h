// The file-system layer the recovery core works through. One implementation per platform, side by
// side in src/fs (POSIX and Win32); each executable links the one it needs. Paths are wide strings
// in the platform's ordinary form; a directory path handed to Enumerate ends with the separator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quenlor {

struct DirEntry {
    std::wstring name;       // the entry's name only, no directory part
    bool directory = false;  // FILE_ATTRIBUTE_DIRECTORY
    bool hidden = false;     // FILE_ATTRIBUTE_HIDDEN, or a POSIX name beginning with "."
    bool system = false;     // FILE_ATTRIBUTE_SYSTEM (never set on POSIX)
    bool link = false;       // a reparse point or symbolic link: the walk never enters these
};

// What tells one file from another, whatever name it is reached by: its volume and its number
// there.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && index == other.index;
    }
    bool operator<(const FileIdentity& other) const {
        return volume != other.volume ? volume < other.volume : index < other.index;
    }
};

// An open directory enumeration; closed when destroyed.
class DirEnumeration {
  public:
    virtual ~DirEnumeration() = default;
    virtual bool Next(DirEntry& entry) = 0;
};

// A regular file opened for reading; closed when destroyed.
class ReadableFile {
  public:
    virtual ~ReadableFile() = default;
    virtual uint64_t Size() const = 0;
    // Reads up to `count` bytes at `offset`; `got` receives the number read (short only at the end
    // of the file). False on an I/O error.
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t count, size_t& got) = 0;
};

// A newly created file opened for writing. Destroying it without Commit() closes it without
// flushing anything (after a background flush still running has ended); the caller removes it.
class WritableFile {
  public:
    virtual ~WritableFile() = default;
    virtual bool Write(const void* data, size_t count) = 0;
    // Starts pushing what was written so far towards stable storage, without waiting for it; the
    // file stays open. Done now and then during a long copy, so that Commit() has little left to
    // wait for. False once such a push has failed.
    virtual bool Flush() = 0;
    // Flushes to stable storage and closes; false when any of it failed.
    virtual bool Commit() = 0;
    // True once a call above failed because the disk (or the user's quota) was full.
    virtual bool OutOfSpace() const { return false; }
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    virtual wchar_t Separator() const = 0;
    // A directory typed or chosen by the user, as a path ending with the separator. Windows: "\" is
    // appended unless the text is exactly 3 characters long (a drive root) or already ends with
    // "\"; POSIX: "/" is appended unless the text already ends with "/".
    virtual std::wstring DirectoryPath(const std::wstring& text) const = 0;
    // A relative path made absolute against the current directory; others unchanged.
    virtual std::wstring Absolute(const std::wstring& path) const = 0;

    // Entries of `directory` matching `mask` ("*.*" = every entry, "*.exe" = names ending in .exe,
    // case-insensitively), "." and ".." included where the platform lists them. Null when the
    // directory can't be enumerated.
    virtual std::unique_ptr<DirEnumeration> Enumerate(const std::wstring& directory,
                                                      const std::wstring& mask) = 0;

    // Null unless `path` is a regular file that could be opened for reading (never blocks on a
    // device or pipe).
    virtual std::unique_ptr<ReadableFile> OpenRead(const std::wstring& path) = 0;
    // Reads up to `count` bytes from the start of the regular file `path`: the one look a search
    // takes at most files, so kept to the fewest calls the platform allows.
    virtual bool ReadHead(const std::wstring& path, void* buffer, size_t count, size_t& got) {
        got = 0;
        auto file = OpenRead(path);
        return file && file->ReadAt(0, buffer, count, got);
    }
    // True when OpenRead and ReadHead may be called from several threads at once, so that a
    // search can look at many small files side by side.
    virtual bool ReadsInParallel() const { return false; }
    // Creates `path` only if nothing of that name exists. Null on failure.
    virtual std::unique_ptr<WritableFile> CreateNew(const std::wstring& path) = 0;
    // Renames `from` to `to` in one step, replacing a file named `to`. The new name survives a
    // crash only once SyncFolder of its folder has succeeded (ReplacingWrite does both).
    virtual bool Rename(const std::wstring& from, const std::wstring& to) = 0;
    // Makes the renames done in `folder` durable. True also where the file system has no way to
    // sync a folder (its names are then as durable as it makes them); false when the folder could
    // not be opened or synced.
    virtual bool SyncFolder(const std::wstring& folder) = 0;
    virtual bool Remove(const std::wstring& path) = 0;
    // True when `path` names a folder (through a link too).
    virtual bool IsFolder(const std::wstring& /*path*/) { return false; }
    // Removes an empty folder, or a link to a folder (never what it leads to).
    virtual bool RemoveFolder(const std::wstring& /*path*/) { return false; }

    // True when `path` names a normal file: it exists and is neither a directory nor hidden nor a
    // system file.
    virtual bool IsNormalFile(const std::wstring& path) = 0;
    // The identity of an existing file or directory; the same for every name it has (other letter
    // case where names compare without it, links, other spellings).
    virtual bool Identity(const std::wstring& path, FileIdentity& identity) = 0;
    // `path` as this file system compares names: absolute, and in one letter case where names
    // compare without it. Equal keys name the same file; used where an identity can't be read.
    virtual std::wstring NameKey(const std::wstring& path) const = 0;
    // True when both paths name the same file: by identity, or by name when an identity can't be
    // read.
    bool SameFile(const std::wstring& a, const std::wstring& b);
    virtual bool FileSize(const std::wstring& path, uint64_t& size) = 0;
};

// One file compared with others, its identity and name key read once: by identity, or by name
// when either identity can't be read. FileSystem::SameFile in one go.
class SameFileCheck {
  public:
    SameFileCheck(FileSystem& fs, const std::wstring& path);
    bool Is(const std::wstring& other) const;

  private:
    FileSystem& fs_;
    std::wstring key_;
    FileIdentity identity_;
    bool known_;
};

// The file system of the platform the program was built for.
FileSystem& NativeFileSystem();

}  // namespace quenlor
