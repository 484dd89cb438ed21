// A file written beside its target, made durable, and only then put in the target's place: the
// target's name holds its earlier file or the whole new one, never a part of either. Movies and
// the batch record are both written this way.
#pragma once

#include <memory>
#include <random>
#include <string>

#include "quenlor/FileSystem.h"

namespace quenlor {

class ReplacingWrite {
  public:
    enum class Result {
        Replaced,          // durable under the target's name
        NotDurable,        // the data could not be made durable: nothing replaced, file removed
        NotReplaced,       // the rename was refused: nothing replaced, file removed
        FolderNotDurable,  // renamed, but the folder could not be synced: the name may not last
    };

    // Creates the new file beside `target`, under a name drawn from `names`; Open() says whether
    // one could be created.
    ReplacingWrite(FileSystem& fs, std::wstring target, std::minstd_rand& names);
    ~ReplacingWrite();  // discards the file unless Commit() has run
    ReplacingWrite(const ReplacingWrite&) = delete;
    ReplacingWrite& operator=(const ReplacingWrite&) = delete;

    bool Open() const { return file_ != nullptr; }
    WritableFile& File() { return *file_; }  // while Open() and before Commit() or Discard()
    // True once a write or flush failed because the disk (or the user's quota) was full.
    bool OutOfSpace() const { return file_ ? file_->OutOfSpace() : out_of_space_; }

    // Makes the data durable and renames the file to the target. The folder is synced too unless
    // `defer_folder_sync`: then the caller syncs FolderOf(target) before it relies on the name
    // (before deleting a source, say), and Replaced means "renamed".
    Result Commit(bool defer_folder_sync = false);
    // Drops the file without flushing it: a background flush still running is waited for, then
    // the file is closed and removed.
    void Discard();

  private:
    FileSystem& fs_;
    std::wstring target_;
    std::wstring temporary_;
    std::unique_ptr<WritableFile> file_;
    bool done_ = false;
    bool out_of_space_ = false;  // the file's, kept when it is gone
};

// The folder part of `path`, its separator included; empty for a bare name.
std::wstring FolderOf(const std::wstring& path, wchar_t separator);

}  // namespace quenlor
