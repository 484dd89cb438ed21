#include "quenlor/ReplacingWrite.h"

#include <algorithm>

namespace quenlor {

namespace {

// The target's name with its last four characters (".swf", ".csv") replaced by "~" and three
// random letters or digits: as long as the name it stands in for, so it fits wherever the target
// fits, and leftovers of an interrupted run only make a later run draw again.
std::wstring TemporaryName(const std::wstring& target, wchar_t separator, std::minstd_rand& names) {
    constexpr wchar_t kDigits[] = L"0123456789abcdefghijklmnopqrstuvwxyz";
    const size_t name = target.rfind(separator) + 1;  // npos + 1 = 0: no directory part
    const size_t keep = std::max(name, target.size() >= name + 4 ? target.size() - 4 : name);
    std::wstring temporary = target.substr(0, keep) + L"~";
    uint32_t token = static_cast<uint32_t>(names());
    for (int i = 0; i < 3; ++i, token /= 36) temporary += kDigits[token % 36];
    return temporary;
}

}  // namespace

std::wstring FolderOf(const std::wstring& path, wchar_t separator) {
    const size_t slash = path.rfind(separator);
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

ReplacingWrite::ReplacingWrite(FileSystem& fs, std::wstring target, std::minstd_rand& names)
    : fs_(fs), target_(std::move(target)) {
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        temporary_ = TemporaryName(target_, fs_.Separator(), names);
        file_ = fs_.CreateNew(temporary_);
    }
    done_ = !file_;
}

ReplacingWrite::~ReplacingWrite() {
    Discard();
}

void ReplacingWrite::Discard() {
    if (done_) return;
    done_ = true;
    out_of_space_ = file_->OutOfSpace();
    file_.reset();  // waits for a background flush, then closes without flushing
    fs_.Remove(temporary_);
}

ReplacingWrite::Result ReplacingWrite::Commit(bool defer_folder_sync) {
    if (done_) return Result::NotDurable;
    if (!file_->Commit()) {
        Discard();
        return Result::NotDurable;
    }
    done_ = true;
    out_of_space_ = file_->OutOfSpace();
    file_.reset();
    if (!fs_.Rename(temporary_, target_)) {
        fs_.Remove(temporary_);
        return Result::NotReplaced;
    }
    if (defer_folder_sync || fs_.SyncFolder(FolderOf(target_, fs_.Separator())))
        return Result::Replaced;
    return Result::FolderNotDurable;
}

}  // namespace quenlor
