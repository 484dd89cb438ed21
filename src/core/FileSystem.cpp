#include "quenlor/FileSystem.h"

namespace quenlor {

bool FileSystem::SameFile(const std::wstring& a, const std::wstring& b) {
    return SameFileCheck(*this, a).Is(b);
}

SameFileCheck::SameFileCheck(FileSystem& fs, const std::wstring& path)
    : fs_(fs), key_(fs.NameKey(path)), known_(fs.Identity(path, identity_)) {}

bool SameFileCheck::Is(const std::wstring& other) const {
    FileIdentity identity;
    if (known_ && fs_.Identity(other, identity)) return identity == identity_;
    return fs_.NameKey(other) == key_;
}

}  // namespace quenlor
