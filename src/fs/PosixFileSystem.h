// The POSIX file-system layer, with the calls that make files and folders durable given from
// outside: the native ones, or ones that fail as a disk may (the tests' sync faults).
#pragma once

#include <memory>

#include "quenlor/FileSystem.h"

namespace quenlor {

struct PosixSyncCalls {
    // Syncs an open file (its data during the copy, everything when `final`): 0 or the errno.
    int (*file)(int fd, bool final);
    // Opens and syncs a folder: 0 or the errno of the open or the sync.
    int (*folder)(const char* path);

    static const PosixSyncCalls kNative;
};

std::unique_ptr<FileSystem> NewPosixFileSystem(const PosixSyncCalls& sync);

}  // namespace quenlor
