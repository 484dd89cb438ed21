#include "quenlor/Converter.h"

#include <algorithm>
#include <vector>

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
    : fs_(fs), list_(list), status_(status), panel_(panel), pacer_(pump) {}

void Converter::Command7_Click() {
    // The stop command enables "转换" while the current row is still being finished: a click then
    // arrives inside one of our own pumps and must not start a batch over the same state.
    if (running_) return;

    if (!panel_.AutoSave()) {
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
    int32_t succeeded = 0;
    for (RowIndex = 1; RowIndex <= count; ++RowIndex) {
        if (RowIndex <= list_.RowCount()) {  // rows may have been removed meanwhile
            SourceFile = list_.RowText(RowIndex);
            if (panel_.AutoSave()) SaveDir = GetDirectoryPart(SourceFile, separator);
            if (list_.RowChecked(RowIndex)) {
                status_.SetStatus(Decimal(RowIndex) + L"/" + Decimal(count) + L" 当前文件：" +
                                  SourceFile);
                TargetFile = SaveDir + GetFileTitle(SourceFile, separator) + L".swf";
                succeeded += ExtractMovie(SourceFile, TargetFile);
                if (panel_.DeleteSource() && ExtractOk) {
                    fs_.Remove(
                        SourceFile);  // a source that can't be deleted stays; the row is done
                }
                if (!ExtractOk && RowIndex <= list_.RowCount()) {
                    list_.SetCell(RowIndex, Column::Result, kFailed);
                }
                if (StopRequested) {
                    StopRequested = false;
                    break;
                }
            }
        }
        pacer_.Step();
    }

    panel_.SetStopEnabled(false);
    status_.SetStatus(L" 共有" + Decimal(count) + L"个文件  成功转换" + Decimal(succeeded) +
                      L"个文件");
}

bool Converter::FileExists(const std::wstring& path) {
    return fs_.IsNormalFile(path);
}

int Converter::ExtractMovie(const std::wstring& source, const std::wstring& target) {
    ExtractOk = false;
    if (!FileExists(source)) {
        if (RowIndex >= 1 && RowIndex <= list_.RowCount()) {
            list_.SetCell(RowIndex, Column::Result, kFailed);
        }
        return 0;
    }

    auto file = fs_.OpenRead(source);
    if (!file) return 0;
    // A movie found in a stub window runs to the end of the file; one found only by its trailer is
    // exactly the length the trailer gives.
    uint64_t start = 0;
    uint64_t end = file->Size();
    if (const std::optional<int64_t> found = FindMovieStart(*file, kExtractionTable, pacer_)) {
        start = static_cast<uint64_t>(*found);
    } else if (const auto movie = AnyVersion ? FindTrailerMovie(*file) : std::nullopt) {
        start = movie->start;
        end = movie->start + movie->length;
    } else {
        return 0;
    }
    // Writing the movie over its own projector would destroy the source.
    if (fs_.SameFile(source, target)) return 0;

    unsigned version = 0;
    if (!CopyMovie(*file, start, end, target, version)) return 0;
    pacer_.Step();
    file.reset();

    uint64_t size = 0;
    if (!fs_.FileSize(target, size)) size = 0;
    if (RowIndex >= 1 && RowIndex <= list_.RowCount()) {
        list_.SetCell(RowIndex, Column::Result, kSucceeded);
        list_.SetCell(RowIndex, Column::Version, L"Ver: " + Decimal(static_cast<int64_t>(version)));
        list_.SetCell(RowIndex, Column::Size, panel_.FormatSize(size));
        list_.SetCell(RowIndex, Column::SaveDir, target);
    }
    ExtractOk = true;
    return 1;
}

// Copies the movie, the bytes [start, end), in bounded chunks into a temporary file beside the
// target, makes it durable, and only then puts it in the target's place: a failure leaves any
// earlier file of that name as it was.
bool Converter::CopyMovie(ReadableFile& source, uint64_t start, uint64_t end,
                          const std::wstring& target, unsigned& version) {
    if (end < start + 4) return false;

    std::wstring temporary;
    std::unique_ptr<WritableFile> out;
    for (int attempt = 0; attempt < 100 && !out; ++attempt) {
        temporary = target + L".part" + Decimal(attempt);
        out = fs_.CreateNew(temporary);
    }
    if (!out) return false;

    bool ok = true;
    std::vector<unsigned char> buffer(
        static_cast<size_t>(std::min<uint64_t>(kCopyChunk, end - start)));
    for (uint64_t offset = start; ok && offset < end;) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer.size(), end - offset));
        size_t got = 0;
        ok = source.ReadAt(offset, buffer.data(), want, got) && got == want;
        if (ok && offset == start) version = buffer[3];
        ok = ok && out->Write(buffer.data(), got);
        offset += got;
        if (ok && (offset - start) % kFlushEvery == 0) ok = out->Flush();
        pacer_.StepIfDue();
    }
    ok = out->Commit() && ok;
    out.reset();
    if (ok) ok = fs_.Replace(temporary, target);
    if (!ok) fs_.Remove(temporary);
    return ok;
}

}  // namespace quenlor
