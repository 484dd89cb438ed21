// Projectors of every player since Flash 4 end with a trailer behind the movie: the marker
// 56 34 12 FA and the movie's length as an unsigned 32-bit little-endian number. The movie may be
// uncompressed ("FWS"), zlib-compressed ("CWS") or LZMA-compressed ("ZWS"), and the stub in front
// of it may have any length, so the trailer is the one way to find the movies of later players.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "quenlor/FileSystem.h"

namespace quenlor {

constexpr size_t kTrailerSize = 8;
// The most header bytes the check reads: a "ZWS" header up to its LZMA properties byte.
constexpr size_t kMovieHeaderBytes = 13;

// A movie found through its trailer: the file's bytes [start, start + length).
struct TrailerMovie {
    uint64_t start;
    uint64_t length;
};

// Reads the last 8 bytes and the movie header they point at, nothing else. Nothing unless the
// trailer is valid and the header is a movie header consistent with the trailer's length.
std::optional<TrailerMovie> FindTrailerMovie(ReadableFile& file);

// True when `header` (`count` bytes of it) opens with "FWS", "CWS" or "ZWS" and a version a
// player knows.
bool IsMovieSignature(const unsigned char* header, size_t count);

}  // namespace quenlor
