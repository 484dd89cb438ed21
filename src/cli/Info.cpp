#include "cli/Info.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "cli/CliHost.h"
#include "quenlor/Failure.h"
#include "quenlor/FileSystem.h"
#include "quenlor/MovieFacts.h"
#include "quenlor/Projector.h"
#include "quenlor/Pump.h"
#include "quenlor/Text.h"
#include "quenlor/Trailer.h"

namespace quenlor::cli {
namespace {

constexpr size_t kChunk = 1 << 20;

struct Span {
    uint64_t start;
    uint64_t end;
};

// Where the movie lies: the whole file for a movie of its own, else as the conversion finds it.
std::optional<Span> FindMovie(ReadableFile& file, bool any_version, PumpPacer& pacer) {
    unsigned char head[4] = {};
    size_t got = 0;
    if (ReadFully(file, 0, head, sizeof(head), got) && got == sizeof(head) && head[3] != 0 &&
        (std::memcmp(head, "FWS", 3) == 0 || std::memcmp(head, "CWS", 3) == 0 ||
         std::memcmp(head, "ZWS", 3) == 0)) {
        return Span{0, file.Size()};
    }
    if (const std::optional<int64_t> found = FindMovieStart(file, kExtractionTable, pacer))
        return Span{static_cast<uint64_t>(*found), file.Size()};
    if (any_version) {
        if (const auto movie = FindTrailerMovie(file))
            return Span{movie->start, movie->start + movie->length};
    }
    return std::nullopt;
}

std::wstring Line(const std::wstring& path, const MovieFacts& facts) {
    const bool header = facts.has_header;
    const std::wstring fields[] = {
        path,
        FromUtf8(facts.kind),
        Decimal(facts.version),
        header ? PixelsText(facts.width_twips) : L"",
        header ? PixelsText(facts.height_twips) : L"",
        header ? RateText(facts.rate) : L"",
        header ? Decimal(static_cast<int>(facts.frames)) : L"",
        header ? (facts.as3 ? L"AS3" : L"AS1/2") : L"",
        facts.problem.empty() ? L"ok" : facts.problem,
    };
    std::wstring line;
    for (const std::wstring& field : fields) line += (line.empty() ? L"" : L"\t") + field;
    return line + L"\n";
}

}  // namespace

int Info(const std::vector<std::wstring>& args, int usage_error) {
    bool any_version = false;
    bool options_done = false;
    std::vector<std::wstring> paths;
    for (const std::wstring& arg : args) {
        if (!options_done && arg == L"--") {
            options_done = true;
        } else if (!options_done && arg == L"--any-version") {
            any_version = true;
        } else if ((!options_done && arg.size() > 1 && arg[0] == L'-') || arg.empty()) {
            return usage_error;
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.empty()) return usage_error;

    FileSystem& fs = NativeFileSystem();
    CliPump pump;
    PumpPacer pacer(pump);
    std::vector<unsigned char> buffer(kChunk);
    int failed = 0;
    for (const std::wstring& path : paths) {
        const auto fail = [&](Failure why) {
            WriteErr(path + L": " + FailureText(why) + L"\n");
            ++failed;
        };
        const std::wstring absolute = fs.Absolute(path);
        if (!fs.IsNormalFile(absolute)) {
            fail(Failure::SourceMissing);
            continue;
        }
        const std::unique_ptr<ReadableFile> file = fs.OpenRead(absolute);
        if (!file) {
            fail(Failure::SourceUnreadable);
            continue;
        }
        const std::optional<Span> movie = FindMovie(*file, any_version, pacer);
        if (!movie) {
            fail(Failure::NotProjector);
            continue;
        }
        MovieInspector inspector;
        bool read = true;
        for (uint64_t at = movie->start; read && at < movie->end;) {
            const size_t want = static_cast<size_t>(std::min<uint64_t>(kChunk, movie->end - at));
            size_t got = 0;
            read = file->ReadAt(at, buffer.data(), want, got) && got == want;
            inspector.Feed(buffer.data(), got);
            at += got;
        }
        if (!read) {
            fail(Failure::SourceUnreadable);
            continue;
        }
        WriteOut(Line(path, inspector.Finish()));
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace quenlor::cli
