#include "quenlor/Converter.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "quenlor/BackgroundJob.h"
#include "quenlor/Failure.h"
#include "quenlor/MovieFacts.h"
#include "quenlor/Projector.h"
#include "quenlor/Text.h"
#include "quenlor/Trailer.h"

namespace quenlor {

namespace {

constexpr wchar_t kFailed[] = L"失败";
constexpr wchar_t kSucceeded[] = L"成功";

// Clears a flag when the scope ends, on every path.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
};

}  // namespace

Converter::Converter(FileSystem& fs, IFileList& list, IStatusLine& status, IMessagePump& pump,
                     IConvertPanel& panel)
    : fs_(fs),
      list_(list),
      status_(status),
      panel_(panel),
      pacer_(pump),
      temporary_names_(static_cast<std::minstd_rand::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count())) {}

void Converter::Command7_Click() {
    // The stop command enables "转换" while the current row is still being finished: a click then
    // arrives inside one of our own pumps and must not start a batch over the same state.
    if (running_) return;

    // The options are taken once, here: changed while the batch runs, they apply to the next one.
    const bool auto_save = panel_.AutoSave();
    const bool delete_source = panel_.DeleteSource();
    batch_any_version_ = AnyVersion;
    if (!auto_save) {
        const std::wstring text = panel_.SaveDirText();
        if (text.empty()) {
            panel_.ShowMessage(L" 请选择一个有效的保存目录！ ", L"提示");
            return;
        }
        SaveDir = fs_.DirectoryPath(text);
    }

    FlagScope running(running_);
    StopRequested = false;  // a request left over from an earlier batch is not for this one
    panel_.SetStopEnabled(true);
    panel_.SetConvertEnabled(false);

    const wchar_t separator = fs_.Separator();
    const int32_t count = list_.RowCount();
    // The rows as they are now: rows removed (or replaced by a new search) while the batch runs
    // are passed over, and each result goes to the row of the file it belongs to.
    std::vector<RowId> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int row = 1; row <= count; ++row) rows.push_back(list_.IdOf(row));
    written_.clear();
    written_names_.clear();
    Record.clear();
    first_movies_.clear();
    int32_t succeeded = 0;
    for (RowIndex = 1; RowIndex <= count; ++RowIndex) {
        CurrentRow = rows[static_cast<size_t>(RowIndex - 1)];
        const int row = list_.RowOf(CurrentRow);
        if (row != 0) {
            SourceFile = list_.RowText(row);
            if (auto_save) SaveDir = GetDirectoryPart(SourceFile, separator);
            // A row whose source an earlier batch deleted keeps what that batch wrote into it.
            if (list_.RowChecked(row) && !list_.SourceDeleted(row)) {
                status_.SetStatus(Decimal(RowIndex) + L"/" + Decimal(count) + L" 当前文件：" +
                                  SourceFile);
                // What an earlier run wrote into the row no longer describes it.
                for (Column c : {Column::Result, Column::Version, Column::Size, Column::SaveDir}) {
                    list_.SetCell(row, c, std::wstring());
                }
                list_.SetReason(row, std::wstring());
                list_.SetFacts(row, MovieFacts{});
                TargetFile = FreeTarget(SaveDir + GetFileTitle(SourceFile, separator) + L".swf");
                succeeded += ExtractMovie(SourceFile, TargetFile);
                // Only now is this source's own movie in place.
                if (delete_source && ExtractOk) {
                    if (!fs_.Remove(SourceFile)) {
                        panel_.SourceKept(SourceFile);
                    } else if (const int now = list_.RowOf(CurrentRow)) {
                        list_.MarkSourceDeleted(now);
                    }
                }
                if (!ExtractOk) {
                    SetCell(Column::Result, kFailed);
                    const int now = list_.RowOf(CurrentRow);
                    if (now != 0) list_.SetReason(now, FailureText(LastFailure));
                }
                RecordRowDone();
                if (StopRequested) {
                    StopRequested = false;
                    break;
                }
            }
        }
        pacer_.Step();
    }
    CurrentRow = 0;

    panel_.SetStopEnabled(false);
    status_.SetStatus(L" 共有" + Decimal(count) + L"个文件  成功转换" + Decimal(succeeded) +
                      L"个文件");
}

bool Converter::FileExists(const std::wstring& path) {
    return fs_.IsNormalFile(path);
}

int Converter::ExtractMovie(const std::wstring& source, const std::wstring& target) {
    ExtractOk = false;
    LastFailure = Failure::SourceMissing;
    facts_ = RecordRow{};
    if (!FileExists(source)) {
        SetCell(Column::Result, kFailed);
        return 0;
    }

    LastFailure = Failure::SourceUnreadable;
    auto file = fs_.OpenRead(source);
    if (!file) return 0;
    facts_.source_size = file->Size();
    // A movie found in a stub window runs to the end of the file; one found only by its trailer is
    // exactly the length the trailer gives.
    uint64_t start = 0;
    uint64_t end = file->Size();
    if (const std::optional<int64_t> found = FindMovieStart(*file, kExtractionTable, pacer_)) {
        start = static_cast<uint64_t>(*found);
    } else if (const auto movie = (running_ ? batch_any_version_ : AnyVersion)
                                      ? FindTrailerMovie(*file)
                                      : std::nullopt) {
        start = movie->start;
        end = movie->start + movie->length;
    } else {
        LastFailure = Failure::NotProjector;
        return 0;
    }
    if (RowGone()) return 0;
    // Writing the movie over its own projector would destroy the source.
    if (fs_.SameFile(source, target)) {
        LastFailure = Failure::TargetIsSource;
        return 0;
    }

    unsigned version = 0;
    if (!CopyMovie(*file, start, end, target, version)) return 0;
    // Known by its name as well: a later row must not replace it even when no identity can be
    // read.
    written_names_.insert(fs_.NameKey(target));
    FileIdentity written;
    if (fs_.Identity(target, written)) written_.insert(written);
    pacer_.Step();
    file.reset();

    uint64_t size = 0;
    if (!fs_.FileSize(target, size)) size = 0;
    SetCell(Column::Result, kSucceeded);
    SetCell(Column::Version, L"Ver: " + Decimal(static_cast<int64_t>(version)));
    SetCell(Column::Size, panel_.FormatSize(size));
    SetCell(Column::SaveDir, target);
    if (const int row = CurrentRow != 0 ? list_.RowOf(CurrentRow) : 0)
        list_.SetFacts(row, facts_.facts);
    facts_.movie_size = size;
    LastFailure = Failure::None;
    ExtractOk = true;
    return 1;
}

bool Converter::RowGone() const {
    return CurrentRow != 0 && list_.RowOf(CurrentRow) == 0;
}

void Converter::SetCell(Column column, const std::wstring& text) {
    const int row = CurrentRow != 0 ? list_.RowOf(CurrentRow) : 0;
    if (row != 0) list_.SetCell(row, column, text);
}

std::wstring Converter::FreeTarget(const std::wstring& target) {
    if (written_names_.empty() || !WrittenByThisBatch(target)) return target;
    const std::wstring ending = L".swf";
    const bool swf = target.size() >= ending.size() &&
                     target.compare(target.size() - ending.size(), ending.size(), ending) == 0;
    const std::wstring stem = swf ? target.substr(0, target.size() - ending.size()) : target;
    for (int n = 2;; ++n) {
        const std::wstring candidate = stem + L" (" + Decimal(n) + L")" + (swf ? ending : L"");
        if (!WrittenByThisBatch(candidate)) return candidate;
    }
}

bool Converter::WrittenByThisBatch(const std::wstring& path) {
    if (written_names_.count(fs_.NameKey(path)) != 0) return true;
    FileIdentity identity;
    return fs_.Identity(path, identity) && written_.count(identity) != 0;
}

std::wstring Converter::TemporaryName(const std::wstring& target) {
    // The target's name with its last four characters (".swf") replaced by "~" and three random
    // letters or digits: as long as the name it stands in for, so it fits wherever the target
    // fits, and leftovers of an interrupted run only make a later run draw again.
    constexpr wchar_t kDigits[] = L"0123456789abcdefghijklmnopqrstuvwxyz";
    const size_t name = target.rfind(fs_.Separator()) + 1;  // npos + 1 = 0: no directory part
    const size_t keep = std::max(name, target.size() >= name + 4 ? target.size() - 4 : name);
    std::wstring temporary = target.substr(0, keep) + L"~";
    uint32_t token = static_cast<uint32_t>(temporary_names_());
    for (int i = 0; i < 3; ++i, token /= 36) temporary += kDigits[token % 36];
    return temporary;
}

// Copies the movie, the bytes [start, end), in bounded chunks into a temporary file beside the
// target, makes it durable, and only then puts it in the target's place: a failure leaves any
// earlier file of that name as it was.
bool Converter::CopyMovie(ReadableFile& source, uint64_t start, uint64_t end,
                          const std::wstring& target, unsigned& version) {
    LastFailure = Failure::NotProjector;
    if (end < start + 4) return false;

    std::wstring temporary;
    std::unique_ptr<WritableFile> out;
    for (int attempt = 0; attempt < 100 && !out; ++attempt) {
        temporary = TemporaryName(target);
        out = fs_.CreateNew(temporary);
    }
    LastFailure = Failure::SaveDirUnwritable;
    if (!out) return false;

    bool ok = true;
    const std::unique_ptr<Sha256> digest = NewDigest ? NewDigest() : nullptr;
    // The hash of one chunk and the check of the movie's stream run on two more threads while the
    // next chunk is read and written, so neither costs time beside the disk. Two buffers: one
    // hashed and checked, one filled.
    const size_t chunk = static_cast<size_t>(std::min<uint64_t>(kCopyChunk, end - start));
    std::vector<unsigned char> buffers[2] = {std::vector<unsigned char>(chunk),
                                             std::vector<unsigned char>(chunk)};
    BackgroundJob hashing;
    MovieInspector inspector;
    BackgroundJob inspecting;
    for (uint64_t offset = start, step = 0; ok && offset < end; ++step) {
        std::vector<unsigned char>& buffer = buffers[step % 2];
        const size_t want = static_cast<size_t>(std::min<uint64_t>(chunk, end - offset));
        size_t got = 0;
        ok = source.ReadAt(offset, buffer.data(), want, got) && got == want;
        LastFailure = ok ? Failure::WriteFailed : Failure::SourceUnreadable;
        if (ok && offset == start) {
            version = buffer[3];
            facts_.version = buffer[3];
            facts_.kind.assign(buffer.begin(), buffer.begin() + 3);
        }
        if (ok && digest)  // the bytes as written, no re-read
            hashing.Start([&digest, data = buffer.data(), got] { digest->Update(data, got); });
        if (ok)
            inspecting.Start(
                [&inspector, data = buffer.data(), got] { inspector.Feed(data, got); });
        ok = ok && out->Write(buffer.data(), got);
        offset += got;
        if (ok && (offset - start) % kFlushEvery == 0) ok = out->Flush();
        pacer_.StepIfDue();
        if (RowGone()) ok = false;  // removed from the list: not converted after all
    }
    hashing.Wait();
    inspecting.Wait();
    if (!out->Commit() && ok) {
        ok = false;
        LastFailure = Failure::WriteFailed;
    }
    if (!ok && LastFailure == Failure::WriteFailed && out->OutOfSpace())
        LastFailure = Failure::DiskFull;
    out.reset();
    if (ok) {
        ok = fs_.Replace(temporary, target);
        LastFailure = ok ? Failure::None : Failure::TargetNotReplaced;
    }
    if (ok && digest) facts_.sha256 = digest->HexDigest();
    if (ok) facts_.facts = inspector.Finish();
    if (!ok) fs_.Remove(temporary);
    return ok;
}

}  // namespace quenlor
