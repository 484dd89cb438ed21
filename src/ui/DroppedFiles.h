// What a drop on the main window carries: the names read from the system's drop handle (wide, in
// the order dropped), sorted into folders to search, programs to add and things to leave out.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <utility>
#include <vector>

#include "quenlor/FileSystem.h"

namespace quenlor {

// The drop handle of a WM_DROPFILES message, released with DragFinish.
class DropHandle {
  public:
    explicit DropHandle(HDROP drop) : drop_(drop) {}
    DropHandle(const DropHandle&) = delete;
    DropHandle& operator=(const DropHandle&) = delete;
    DropHandle(DropHandle&& other) noexcept : drop_(std::exchange(other.drop_, nullptr)) {}
    DropHandle& operator=(DropHandle&& other) = delete;
    ~DropHandle() {
        if (drop_) DragFinish(drop_);
    }
    HDROP get() const { return drop_; }

  private:
    HDROP drop_;
};

// Every name the drop carries, in order.
std::vector<std::wstring> DroppedNames(const DropHandle& drop);

struct DropContents {
    std::vector<std::wstring> folders;   // readable folders (a drive root included), in order
    std::vector<std::wstring> programs;  // names ending in ".exe" in any letter case, in order
    int ignored = 0;                     // everything else: other files, unreadable drives
};

DropContents SortDrop(FileSystem& fs, const std::vector<std::wstring>& names);

}  // namespace quenlor
