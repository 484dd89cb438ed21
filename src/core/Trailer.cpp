#include "quenlor/Trailer.h"

#include <algorithm>

#include "quenlor/Projector.h"

namespace quenlor {

namespace {

constexpr unsigned char kMarker[4] = {0x56, 0x34, 0x12, 0xFA};
constexpr unsigned kLowestVersion = 1;
constexpr unsigned kHighestVersion = 50;
constexpr uint64_t kShortestMovie = 8;     // a declared length below this is no movie
constexpr uint64_t kLzmaHeader = 17;       // "ZWS", version, two lengths, five property bytes
constexpr unsigned kLzmaPropsLimit = 225;  // lc, lp and pb packed as (pb * 5 + lp) * 9 + lc

uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool Signature(const unsigned char* header, const char (&name)[4]) {
    return std::equal(name, name + 3, header);
}

// The two bytes that open a zlib stream (RFC 1950): deflate with a window of at most 32 KiB and a
// correct check value. A preset dictionary is refused: no player could inflate such a movie.
bool ZlibHeader(unsigned char cmf, unsigned char flg) {
    const bool deflate = (cmf & 0x0F) == 8 && (cmf >> 4) <= 7;
    const bool dictionary = (flg & 0x20) != 0;
    return deflate && !dictionary && (cmf * 256u + flg) % 31 == 0;
}

}  // namespace

bool IsMovieSignature(const unsigned char* header, size_t count) {
    if (count < 4 || header[3] < kLowestVersion || header[3] > kHighestVersion) return false;
    return Signature(header, "FWS") || Signature(header, "CWS") || Signature(header, "ZWS");
}

namespace {

// `header` holds the first `count` = min(length, kMovieHeaderBytes) bytes of a movie said to be
// `length` bytes long.
bool IsMovieHeader(const unsigned char* header, size_t count, uint64_t length) {
    if (count < 8) return false;
    if (header[3] < kLowestVersion || header[3] > kHighestVersion) return false;
    const uint64_t declared = Le32(header + 4);
    if (Signature(header, "FWS")) return declared == length;
    if (Signature(header, "CWS")) {
        return declared >= kShortestMovie && count >= 10 && ZlibHeader(header[8], header[9]);
    }
    if (Signature(header, "ZWS")) {
        return declared >= kShortestMovie && count >= kMovieHeaderBytes &&
               Le32(header + 8) + kLzmaHeader == length && header[12] < kLzmaPropsLimit;
    }
    return false;
}

}  // namespace

std::optional<TrailerMovie> FindTrailerMovie(ReadableFile& file) {
    const uint64_t size = file.Size();
    if (size < kTrailerSize) return std::nullopt;

    unsigned char trailer[kTrailerSize];
    size_t got = 0;
    if (!ReadFully(file, size - kTrailerSize, trailer, kTrailerSize, got) || got != kTrailerSize) {
        return std::nullopt;
    }
    if (!std::equal(kMarker, kMarker + 4, trailer)) return std::nullopt;
    const uint64_t length = Le32(trailer + 4);
    if (length <= kTrailerSize || length > size - kTrailerSize) return std::nullopt;

    const uint64_t start = size - kTrailerSize - length;
    unsigned char header[kMovieHeaderBytes];
    const size_t want = static_cast<size_t>(std::min<uint64_t>(length, kMovieHeaderBytes));
    if (!ReadFully(file, start, header, want, got) || got != want) return std::nullopt;
    if (!IsMovieHeader(header, want, length)) return std::nullopt;
    return TrailerMovie{start, length};
}

}  // namespace quenlor
