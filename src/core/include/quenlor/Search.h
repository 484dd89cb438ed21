// The folder search: walks a tree depth first, files of a directory before its sub-directories, and
// lists every "*.exe" that is a projector; with every version wanted, also Linux projectors (files
// without extension) and Mac ones (.app folders, listed whole and not entered).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "quenlor/FileSystem.h"
#include "quenlor/Host.h"
#include "quenlor/Pump.h"
#include "quenlor/SharedLoop.h"

namespace quenlor {

class Search {
  public:
    // At most this many sub-directories are recorded per directory; meeting one more ends the walk.
    static constexpr int kMaxSubdirectories = 32760;
    // A directory with at least this many files without extension (or .app folders) has them
    // looked at on several threads; fewer are not worth waking the helpers for.
    static constexpr size_t kSharedFrom = 8;

    Search(FileSystem& fs, IFileList& list, IStatusLine& status, IMessagePump& pump);

    // Runs a whole search from `start_directory` (ending with a separator) and writes the result
    // line; while a search runs, stops it instead.
    void StartSearch(const std::wstring& start_directory);

    // True while a search runs; clearing it (Stop) is the stop request.
    bool Searching = false;
    std::wstring SearchMask = L"*.exe";
    // Also list projectors of later players, found by their trailer (the command line's option).
    // Read when a walk starts: changing it meanwhile applies to the next walk.
    bool AnyVersion = false;

    void Stop() { Searching = false; }
    // True from the start of a walk until it has returned, also while a stopped walk unwinds: a new
    // search must not begin (or clear the list) before then.
    bool Active() const { return active_; }

  private:
    struct TooManySubdirectories {};

    void SearchDirectory(const std::wstring& directory);
    void CheckExeFiles(const std::wstring& directory);
    // Linux projectors (files without extension) and Mac ones (.app folders), in listing order.
    void CheckOtherFiles(const std::wstring& directory, const std::vector<DirEntry>& others);

    FileSystem& fs_;
    IFileList& list_;
    IStatusLine& status_;
    PumpPacer pacer_;
    bool active_ = false;
    bool walk_any_version_ = false;  // AnyVersion as the walk in progress found it
    // Read into by every file's scan; a walk never runs inside another, so one is enough.
    std::vector<unsigned char> scan_buffer_;
    // Made at the first directory that needs them; idle between directories and searches.
    std::unique_ptr<SharedLoop> helpers_;
};

}  // namespace quenlor
