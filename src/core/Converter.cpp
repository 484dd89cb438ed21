#include "quenlor/Converter.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <vector>

#include "quenlor/AppBundle.h"
#include "quenlor/BackgroundJob.h"
#include "quenlor/ElfProjector.h"
#include "quenlor/Failure.h"
#include "quenlor/MovieFacts.h"
#include "quenlor/Projector.h"
#include "quenlor/ReplacingWrite.h"
#include "quenlor/Text.h"
#include "quenlor/Trailer.h"

namespace quenlor {

namespace {

constexpr wchar_t kFailed[] = L"失败";
constexpr wchar_t kSucceeded[] = L"成功";

// Why a file that is an ELF program holds no movie a Linux projector keeps.
Failure ElfFailure(ElfVerdict verdict) {
    switch (verdict) {
        case ElfVerdict::Damaged:
            return Failure::ElfDamaged;
        case ElfVerdict::NoMovie:
            return Failure::ElfNoMovie;
        case ElfVerdict::LengthMismatch:
            return Failure::ElfLengthMismatch;
        case ElfVerdict::NotMovie:
            return Failure::ElfNotMovie;
        case ElfVerdict::NotElf:
        case ElfVerdict::Movie:
            break;
    }
    return Failure::NotProjector;
}

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
    for (auto& committer : committers_) committer->Wait();  // a batch cut short by an exception
    unsettled_.clear();
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
                const int converted = ExtractMovie(SourceFile, TargetFile);
                if (ExtractOk) {
                    succeeded += converted;
                    RecordRowDone();
                    // Its movie has its name; the sync of its folder settles it, and only then
                    // may its source go.
                    if (unsettled_.empty()) unsettled_since_ = std::chrono::steady_clock::now();
                    unsettled_.push_back({CurrentRow, SourceFile, TargetFile, source_is_bundle_,
                                          Record.size() - 1, std::move(committing_)});
                } else if (!RowGone()) {
                    SetCell(Column::Result, kFailed);
                    list_.SetReason(list_.RowOf(CurrentRow), FailureText(LastFailure));
                    RecordRowDone();
                }  // else removed before its result was known: neither recorded nor counted
                if (StopRequested) {
                    StopRequested = false;
                    break;
                }
            }
        }
        if (SettleDue()) succeeded -= Settle(delete_source);
        pacer_.Step();
    }
    succeeded -= Settle(delete_source);
    committers_.clear();  // their threads end with the batch
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
    const bool any_version = running_ ? batch_any_version_ : AnyVersion;
    source_is_bundle_ = any_version && IsAppBundleName(source, fs_.Separator()) &&
                        fs_.IsFolder(source) && !FileExists(source);
    if (!source_is_bundle_ && !FileExists(source)) {
        SetCell(Column::Result, kFailed);
        return 0;
    }

    std::unique_ptr<ReadableFile> file;
    uint64_t start = 0;
    uint64_t end = 0;
    if (!FindMovie(source, file, start, end)) return 0;
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
    if (!committing_ && fs_.Identity(target, written)) written_.insert(written);
    pacer_.Step();
    file.reset();

    const uint64_t size = end - start;  // all of it written into a new file
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

bool Converter::SettleDue() const {
    return unsettled_.size() >= kSettleRows ||
           (!unsettled_.empty() &&
            std::chrono::steady_clock::now() - unsettled_since_ >= kSettleAfter);
}

int Converter::Settle(bool delete_source) {
    for (auto& committer : committers_) committer->Wait();
    const wchar_t separator = fs_.Separator();
    std::vector<Failure> outcome(unsettled_.size(), Failure::None);
    std::map<std::wstring, bool> synced;  // by folder: every rename above is covered
    for (size_t i = 0; i < unsettled_.size(); ++i) {
        const Unsettled& u = unsettled_[i];
        if (u.commit) {
            switch (u.commit->result) {
                case ReplacingWrite::Result::Replaced:
                    break;
                case ReplacingWrite::Result::NotDurable:
                    outcome[i] =
                        u.commit->write->OutOfSpace() ? Failure::DiskFull : Failure::WriteFailed;
                    continue;
                case ReplacingWrite::Result::NotReplaced:
                    outcome[i] = Failure::TargetNotReplaced;
                    continue;
                case ReplacingWrite::Result::FolderNotDurable:
                    outcome[i] = Failure::FolderNotDurable;
                    continue;
            }
        }
        const std::wstring folder = FolderOf(u.target, separator);
        const auto known = synced.find(folder);
        const bool ok =
            known != synced.end() ? known->second : (synced[folder] = fs_.SyncFolder(folder));
        if (!ok) outcome[i] = Failure::FolderNotDurable;
    }
    int failed = 0;
    for (size_t i = 0; i < unsettled_.size(); ++i) {
        const Unsettled& u = unsettled_[i];
        if (outcome[i] != Failure::None) {
            ++failed;
            FailSettled(u, outcome[i]);
            continue;
        }
        FileIdentity identity;
        if (u.commit && fs_.Identity(u.target, identity)) written_.insert(identity);
        if (!delete_source) continue;
        if (DeleteSource(u)) {
            if (const int row = list_.RowOf(u.row)) list_.MarkSourceDeleted(row);
        }
    }
    unsettled_.clear();
    unsettled_since_ = std::chrono::steady_clock::now();
    return failed;
}

void Converter::FailSettled(const Unsettled& u, Failure failure) {
    const wchar_t* reason = FailureText(failure);
    if (const int row = list_.RowOf(u.row)) {
        for (Column c : {Column::Version, Column::Size, Column::SaveDir})
            list_.SetCell(row, c, std::wstring());
        list_.SetCell(row, Column::Result, kFailed);
        list_.SetReason(row, reason);
        list_.SetFacts(row, MovieFacts{});
    }
    RecordRow& record = Record[u.record];
    record.succeeded = false;
    record.reason = reason;
    // After a failed folder sync the movie is whole under its name, only perhaps not for good.
    if (failure != Failure::FolderNotDurable) {
        record.movie_size.reset();
        record.output.clear();
        record.sha256.clear();
    }
}

bool Converter::FindMovie(const std::wstring& source, std::unique_ptr<ReadableFile>& file,
                          uint64_t& start, uint64_t& end) {
    const bool any_version = running_ ? batch_any_version_ : AnyVersion;
    if (source_is_bundle_) {
        AppMovie app = OpenAppMovie(fs_, source);
        LastFailure =
            app.verdict == AppVerdict::NoMovie ? Failure::AppNoMovie : Failure::AppNotMovie;
        if (!app.file) return false;
        file = std::move(app.file);
        facts_.source_size = file->Size();
        start = 0;  // the bundle's movie is a file of its own, taken whole
        end = file->Size();
        return true;
    }

    LastFailure = Failure::SourceUnreadable;
    file = fs_.OpenRead(source);
    if (!file) return false;
    facts_.source_size = file->Size();
    start = 0;
    end = file->Size();
    // A Linux projector keeps its movie behind its ELF image, exactly the length given there.
    Failure elf_failure = Failure::NotProjector;
    if (any_version) {
        const ElfMovie elf = FindElfMovie(*file);
        if (elf.verdict == ElfVerdict::Movie) {
            start = elf.start;
            end = elf.start + elf.length;
            return true;
        }
        elf_failure = ElfFailure(elf.verdict);
    }
    // A movie found in a stub window runs to the end of the file; one found only by its trailer is
    // exactly the length the trailer gives.
    if (const std::optional<int64_t> found = FindMovieStart(*file, kExtractionTable, pacer_)) {
        start = static_cast<uint64_t>(*found);
    } else if (const auto movie = any_version ? FindTrailerMovie(*file) : std::nullopt) {
        start = movie->start;
        end = movie->start + movie->length;
    } else {
        LastFailure = elf_failure;
        return false;
    }
    return true;
}

bool Converter::DeleteSource(const Unsettled& u) {
    if (!u.bundle) {
        if (fs_.Remove(u.source)) return true;
        panel_.SourceKept(u.source);
        return false;
    }
    std::vector<std::wstring> kept;
    // A movie written into the bundle itself would go with it: then the bundle stays whole.
    const std::wstring inside = fs_.NameKey(u.source) + fs_.Separator();
    if (fs_.NameKey(u.target).compare(0, inside.size(), inside) == 0) {
        kept.push_back(u.source);
    } else if (RemoveWholeFolder(fs_, u.source, kept)) {
        return true;
    }
    for (const std::wstring& part : kept) panel_.SourceKept(part);
    // The window shows it in the row's tip; the row itself stays converted.
    if (const int row = list_.RowOf(u.row); row != 0 && !kept.empty()) {
        std::wstring note = L"影片已写出，但未能删除：" + kept.front();
        if (kept.size() > 1) note += L" 等" + Decimal(static_cast<int64_t>(kept.size())) + L"项";
        list_.SetReason(row, note);
    }
    return false;
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

// Copies the movie, the bytes [start, end), in bounded chunks into a new file beside the target,
// made durable before it takes the target's name: a failure leaves any earlier file of that name
// as it was. In a batch the folder's sync is left to Settle().
bool Converter::CopyMovie(ReadableFile& source, uint64_t start, uint64_t end,
                          const std::wstring& target, unsigned& version) {
    LastFailure = Failure::NotProjector;
    if (end < start + 4) return false;

    auto out = std::make_unique<ReplacingWrite>(fs_, target, temporary_names_);
    LastFailure = Failure::SaveDirUnwritable;
    if (!out->Open()) return false;

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
    // A movie of one chunk has no next chunk to overlap with: its hash and check run here, and no
    // thread is made for them (a batch of thousands of small movies would pay two threads each).
    const bool overlap = end - start > chunk;
    const auto hand = [overlap](BackgroundJob& job, std::function<void()> work) {
        if (overlap) {
            job.Start(std::move(work));
        } else {
            work();
        }
    };
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
            hand(hashing, [&digest, data = buffer.data(), got] { digest->Update(data, got); });
        if (ok)
            hand(inspecting,
                 [&inspector, data = buffer.data(), got] { inspector.Feed(data, got); });
        ok = ok && out->File().Write(buffer.data(), got);
        offset += got;
        if (ok && (offset - start) % kFlushEvery == 0) ok = out->File().Flush();
        pacer_.StepIfDue();
        if (RowGone()) ok = false;  // removed from the list: not converted after all
    }
    hashing.Wait();
    inspecting.Wait();
    // A failed or abandoned copy is thrown away unflushed (ReplacingWrite's end).
    if (!ok) {
        if (LastFailure == Failure::WriteFailed && out->OutOfSpace())
            LastFailure = Failure::DiskFull;
        return false;
    }
    facts_.facts = inspector.Finish();
    std::string copied = digest ? digest->HexDigest() : std::string();
    // In a batch the last steps run beside the next copies (Settle() collects them); a movie
    // whose hash must be read back from its name is put in place first.
    if (running_ && (!NewDigest || !copied.empty())) {
        facts_.sha256 = std::move(copied);
        committing_ = std::make_unique<Committing>();
        committing_->write = std::move(out);
        if (committers_.empty()) {
            for (size_t i = 0; i < kCommitters; ++i)
                committers_.push_back(std::make_unique<BackgroundJob>());
        }
        Committing* commit = committing_.get();
        committers_[next_committer_++ % kCommitters]->Start(
            [commit] { commit->result = commit->write->Commit(true); });
        LastFailure = Failure::None;
        return true;
    }
    switch (out->Commit()) {
        case ReplacingWrite::Result::Replaced:
            break;
        case ReplacingWrite::Result::NotDurable:
            LastFailure = out->OutOfSpace() ? Failure::DiskFull : Failure::WriteFailed;
            return false;
        case ReplacingWrite::Result::NotReplaced:
            LastFailure = Failure::TargetNotReplaced;
            return false;
        case ReplacingWrite::Result::FolderNotDurable:
            LastFailure = Failure::FolderNotDurable;
            return false;
    }
    LastFailure = Failure::None;
    if (NewDigest) HashForRecord(std::move(copied), target);
    return true;
}

}  // namespace quenlor
