// Differential fuzzing of the two projector checks on files laid out from the fuzzer's bytes: the
// bounded, single-read signature scan must agree with a naive scan over the whole file, for both
// tables, and the trailer check, which reads only the last 8 bytes and one header, must agree with
// a naive reading of the whole file. Neither may read outside the file.
//
// Input: 3 bytes of file length (high bit of the first: a tiny file of under 64 bytes), then
// records of 4 bytes (anchor, offset low, offset high, what). Anchors 0-7 drop "FWS", "CWS" or a
// lone letter near one of the known stub lengths; anchor 8 writes a trailer (or a near-miss of its
// marker) with a chosen length; anchor 9 writes a movie header, or a near-miss of one, where the
// current trailer says the movie starts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/core/Fakes.h"
#include "quenlor/Projector.h"
#include "quenlor/Trailer.h"

using namespace quenlor;

namespace {

using Bytes = std::vector<unsigned char>;

std::optional<int64_t> NaiveScan(const Bytes& file, const StubTable& table) {
    const int64_t length = static_cast<int64_t>(file.size());
    if (length <= table.entries[0]) return std::nullopt;
    for (size_t t = 0; t < table.count; ++t) {
        for (int64_t o = table.entries[t] - 1; o <= table.entries[t] + 199; ++o) {
            if (length - o < 21) return std::nullopt;
            if (file[o] == 'F' && file[o + 1] == 'W' && file[o + 2] == 'S') return o;
        }
    }
    return std::nullopt;
}

uint64_t U32(const Bytes& f, size_t at) {
    return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | static_cast<uint64_t>(f[at + 3]) << 24;
}

// The trailer rule read straight off the whole file.
std::optional<TrailerMovie> NaiveTrailer(const Bytes& f) {
    const size_t n = f.size();
    if (n < 8 || f[n - 8] != 0x56 || f[n - 7] != 0x34 || f[n - 6] != 0x12 || f[n - 5] != 0xFA) {
        return std::nullopt;
    }
    const uint64_t length = U32(f, n - 4);
    if (length <= 8 || length > n - 8) return std::nullopt;
    const size_t s = n - 8 - static_cast<size_t>(length);
    if (f[s + 3] < 1 || f[s + 3] > 50) return std::nullopt;
    const uint64_t declared = U32(f, s + 4);
    bool movie = false;
    if (f[s] == 'F' && f[s + 1] == 'W' && f[s + 2] == 'S') {
        movie = declared == length;
    } else if (f[s] == 'C' && f[s + 1] == 'W' && f[s + 2] == 'S') {
        movie = declared >= 8 && length >= 10 && (f[s + 8] & 0x0F) == 8 && (f[s + 8] >> 4) < 8 &&
                (f[s + 9] & 0x20) == 0 && (f[s + 8] * 256 + f[s + 9]) % 31 == 0;
    } else if (f[s] == 'Z' && f[s + 1] == 'W' && f[s + 2] == 'S') {
        movie = declared >= 8 && length >= 17 && U32(f, s + 8) + 17 == length && f[s + 12] < 225;
    }
    if (!movie) return std::nullopt;
    return TrailerMovie{s, length};
}

void Put(Bytes& file, int64_t at, const Bytes& bytes) {
    for (size_t k = 0; k < bytes.size(); ++k) {
        const int64_t i = at + static_cast<int64_t>(k);
        if (i >= 0 && i < static_cast<int64_t>(file.size()))
            file[static_cast<size_t>(i)] = bytes[k];
    }
}
void Put32(Bytes& out, uint64_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// Anchor 8: the marker (every fourth one damaged) and a length that mostly lands in or near the
// file, now and then anywhere up to 2^22 - 1.
void DropTrailer(Bytes& file, const uint8_t* r) {
    Bytes trailer = {0x56, 0x34, 0x12, static_cast<unsigned char>(r[3] % 4 ? 0xFA : 0xFB)};
    const uint64_t raw = r[1] | r[2] << 8 | ((r[3] >> 2) & 0x1F) << 16;
    Put32(trailer, r[3] & 0x80 ? raw : raw % (file.size() + 16));
    Put(file, static_cast<int64_t>(file.size()) - 8, trailer);
}

// Anchor 9: a header at the start the trailer gives, whose fields are right or off by a little.
void DropHeader(Bytes& file, const uint8_t* r) {
    if (file.size() < 8) return;
    const int64_t length = static_cast<int64_t>(U32(file, file.size() - 4));
    const int64_t start = static_cast<int64_t>(file.size()) - 8 - length;
    const int64_t off = r[2] % 5 - 2;  // -2 .. 2
    static const char* const kinds[] = {"FWS", "CWS", "ZWS", "CWs"};
    const char* kind = kinds[r[3] % 4];
    Bytes h(kind, kind + 3);
    h.push_back(r[1] % 53);  // versions 0..52
    static const unsigned char flgs[] = {0x01, 0x5E, 0x9C, 0xDA, 0xBB, 0x9D, 0x1C, 0x09};
    static const unsigned char cmfs[] = {0x78, 0x08, 0x88, 0x77};
    switch (r[3] % 4) {
        case 0:
            Put32(h, static_cast<uint64_t>(length + off));
            break;
        case 2:
            Put32(h, static_cast<uint64_t>(r[2] % 16));
            Put32(h, static_cast<uint64_t>(length - 17 + off));
            h.push_back(static_cast<unsigned char>(220 + (r[2] >> 4) % 8));
            break;
        default:
            Put32(h, static_cast<uint64_t>(r[2] % 16));
            h.push_back(cmfs[(r[3] >> 2) % 4]);
            h.push_back(flgs[(r[3] >> 4) % 8]);
            break;
    }
    Put(file, start, h);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static const int64_t anchors[] = {0, 90100, 94200, 102450, 286700, 290800, 376800, 377000};
    const size_t length =
        data[0] & 0x80 ? data[1] % 64 : 80000 + (data[0] | data[1] << 8 | data[2] << 16) % 310000;
    Bytes file(length, 0);
    for (size_t i = 3; i + 4 <= size; i += 4) {
        const uint8_t* r = data + i;
        if (r[0] % 10 == 8) {
            DropTrailer(file, r);
            continue;
        }
        if (r[0] % 10 == 9) {
            DropHeader(file, r);
            continue;
        }
        const int64_t at = anchors[r[0] % 10] - 16 + ((r[1] | r[2] << 8) % 260);
        static const char* const drops[] = {"FWS", "CWS", "F", "WS", "FW", "S"};
        const char* drop = drops[r[3] % 6];
        Put(file, at, Bytes(drop, drop + std::char_traits<char>::length(drop)));
    }

    auto outside = [&](const test::MemoryFile& memory) {
        for (const auto& read : memory.reads) {
            if (read.offset > file.size() || read.count > file.size() - read.offset) return true;
        }
        return false;
    };
    for (const StubTable* table : {&kSearchTable, &kExtractionTable}) {
        test::MemoryFile memory(file);
        test::FakePump pump;
        PumpPacer pacer(pump);
        const auto fast = FindMovieStart(memory, *table, pacer);
        if (fast != NaiveScan(file, *table)) std::abort();
        if (memory.reads.size() > 1) std::abort();  // one read at most
        if (outside(memory)) std::abort();
    }

    test::MemoryFile memory(file);
    const auto found = FindTrailerMovie(memory);
    const auto naive = NaiveTrailer(file);
    if (found.has_value() != naive.has_value()) std::abort();
    if (found && (found->start != naive->start || found->length != naive->length)) std::abort();
    uint64_t read = 0;
    for (const auto& r : memory.reads) read += r.count;
    if (read > kTrailerSize + kMovieHeaderBytes || outside(memory)) std::abort();
    return 0;
}
