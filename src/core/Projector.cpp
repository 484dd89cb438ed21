#include "quenlor/Projector.h"

#include <algorithm>
#include <vector>

#include "quenlor/Trailer.h"

namespace quenlor {

namespace {

const int64_t kSearchEntries[] = {286700, 290800, 376800};
const int64_t kExtractionEntries[] = {90100, 94200, 102450, 286700, 290800, 376800};

constexpr unsigned char kSignature[3] = {'F', 'W', 'S'};

}  // namespace

bool ReadFully(ReadableFile& file, uint64_t offset, unsigned char* buffer, size_t count,
               size_t& total) {
    total = 0;
    while (total < count) {
        size_t got = 0;
        if (!file.ReadAt(offset + total, buffer + total, count - total, got)) return false;
        if (got == 0) break;  // the file ended early (it shrank since it was opened)
        total += got;
    }
    return true;
}

const StubTable kSearchTable{kSearchEntries, std::size(kSearchEntries)};
const StubTable kExtractionTable{kExtractionEntries, std::size(kExtractionEntries)};

ScanRegion RegionFor(const StubTable& table, uint64_t file_length) {
    const uint64_t begin = static_cast<uint64_t>(table.entries[0] - 1);
    if (file_length <= begin) return {begin, 0};
    const int64_t last_stub = *std::max_element(table.entries, table.entries + table.count);
    // The last candidate of the last window is S+199; a match needs its three signature bytes.
    const uint64_t reach = static_cast<uint64_t>(last_stub + kWindowCandidates - 2 + 3);
    const uint64_t end = std::min(file_length, reach);
    return {begin, end - begin};
}

std::optional<int64_t> FindMovieStart(ReadableFile& file, const StubTable& table,
                                      PumpPacer& pacer) {
    std::vector<unsigned char> buffer;
    return FindMovieStart(file, table, pacer, buffer);
}

std::optional<int64_t> FindMovieStart(ReadableFile& file, const StubTable& table, PumpPacer& pacer,
                                      std::vector<unsigned char>& buffer) {
    const int64_t length = static_cast<int64_t>(file.Size());
    const int64_t base = table.entries[0];
    if (length <= base) return std::nullopt;

    pacer.StepUnlessRecent();

    // Only the bytes some window can reach are read, so a huge file costs no more than a small one.
    const ScanRegion region = RegionFor(table, static_cast<uint64_t>(length));
    buffer.resize(static_cast<size_t>(region.length));
    size_t have = 0;
    if (!ReadFully(file, region.offset, buffer.data(), buffer.size(), have)) return std::nullopt;
    const int64_t first = static_cast<int64_t>(region.offset);

    for (size_t t = 0; t < table.count; ++t) {
        const int64_t stub = table.entries[t];
        for (int64_t o = stub - 1; o <= stub + kWindowCandidates - 2; ++o) {
            pacer.MaybeStep();
            if (length - o < kMinimumTail) return std::nullopt;
            if (o < first) continue;
            const size_t at = static_cast<size_t>(o - first);
            if (at + 3 > have) return std::nullopt;  // the file shrank under us
            if (std::equal(kSignature, kSignature + 3, buffer.data() + at)) return o;
        }
    }
    return std::nullopt;
}

void CheckProjector(FileSystem& fs, IFileList& list, PumpPacer& pacer, const std::wstring& path,
                    bool any_version, std::vector<unsigned char>* scan_buffer) {
    bool found = false;
    if (auto file = fs.OpenRead(path)) {
        std::vector<unsigned char> own;
        found = FindMovieStart(*file, kSearchTable, pacer, scan_buffer ? *scan_buffer : own)
                    .has_value() ||
                (any_version && FindTrailerMovie(*file).has_value());
    }  // closed before the row appears
    if (found) list.AddRow(path);
}

std::wstring GetFileTitle(const std::wstring& path, wchar_t separator) {
    const size_t slash = path.rfind(separator);
    if (slash == std::wstring::npos) return path;
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || dot < slash) return path.substr(slash + 1);
    return path.substr(slash + 1, dot - slash - 1);
}

bool WithoutExtension(const std::wstring& path, wchar_t separator) {
    const size_t slash = path.rfind(separator);
    const size_t name = slash == std::wstring::npos ? 0 : slash + 1;
    return name < path.size() && path.find(L'.', name + 1) == std::wstring::npos;
}

std::wstring GetDirectoryPart(const std::wstring& path, wchar_t separator) {
    const size_t slash = path.rfind(separator);
    if (slash == std::wstring::npos) return path;
    return path.substr(0, slash + 1);
}

}  // namespace quenlor
