// What a drop on the main window carries: the names read from the system's drop handle (wide, in
// the order dropped), sorted into folders to search, programs to add and things to leave out.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "quenlor/FileSystem.h"
#include "win/ResourceOwners.h"

namespace quenlor {

// Every name the drop carries, in order.
std::vector<std::wstring> DroppedNames(const DropHandle& drop);

struct DropContents {
    std::vector<std::wstring> folders;  // readable folders (a drive root included), in order
    // Names ending in ".exe" in any letter case, in order; with every version wanted also files
    // without extension and .app folders.
    std::vector<std::wstring> programs;
    int ignored = 0;  // everything else: other files, unreadable drives
};

DropContents SortDrop(FileSystem& fs, const std::vector<std::wstring>& names,
                      bool any_version = false);

}  // namespace quenlor
