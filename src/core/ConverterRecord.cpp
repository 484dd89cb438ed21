#include <algorithm>
#include <vector>

#include "quenlor/Converter.h"
#include "quenlor/Failure.h"

namespace quenlor {

void Converter::RecordRowDone() {
    RecordRow row = std::move(facts_);
    facts_ = RecordRow{};
    row.source = SourceFile;
    row.succeeded = ExtractOk;
    if (ExtractOk) {
        row.output = TargetFile;
        // The same movie found in several places is written each time, and said so.
        if (!row.sha256.empty()) {
            const auto first = first_movies_.emplace(row.sha256, TargetFile);
            if (!first.second) row.duplicate_of = first.first->second;
        }
    } else {
        // The movie's version and kind still describe the source; nothing was written.
        row.reason = FailureText(LastFailure);
        row.movie_size.reset();
        row.sha256.clear();
        row.facts = MovieFacts{};
    }
    Record.push_back(std::move(row));
}

void Converter::HashForRecord(std::string copied, const std::wstring& target) {
    facts_.sha256 = std::move(copied);
    if (facts_.sha256.empty()) facts_.sha256 = ReadBackDigest(target);
    if (facts_.sha256.empty()) facts_.reason = kNoHash;
}

std::string Converter::ReadBackDigest(const std::wstring& path) {
    const std::unique_ptr<Sha256> digest = NewDigest();
    const std::unique_ptr<ReadableFile> file = fs_.OpenRead(path);
    if (!digest || !file) return std::string();
    std::vector<unsigned char> buffer(
        static_cast<size_t>(std::min<uint64_t>(kCopyChunk, std::max<uint64_t>(file->Size(), 1))));
    for (uint64_t offset = 0; offset < file->Size();) {
        size_t got = 0;
        if (!file->ReadAt(offset, buffer.data(), buffer.size(), got) || got == 0)
            return std::string();
        digest->Update(buffer.data(), got);
        offset += got;
        pacer_.StepIfDue();
    }
    return digest->HexDigest();
}

}  // namespace quenlor
