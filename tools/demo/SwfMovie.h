// Small, real Flash movies and projector-like files for the demo folder, the benchmarks and tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quenlor::demo {

// An uncompressed movie ("FWS") of the given format version: a coloured square that slides across
// a 320 x 240 stage, one step a frame, at 12 frames a second.
std::vector<unsigned char> MakeMovie(unsigned char version, int frames, uint32_t rgb);

// A player stub of `stub_length` bytes (an "MZ" header, a message, zeros) followed by `movie`.
std::vector<unsigned char> MakeProjector(size_t stub_length,
                                         const std::vector<unsigned char>& movie);

// The same movie zlib-compressed ("CWS"): the header keeps the uncompressed length, the rest is one
// zlib stream of stored deflate blocks, which every player inflates.
std::vector<unsigned char> Compress(const std::vector<unsigned char>& movie);

// A projector of a later player: stub, movie, and the trailer behind it (the marker 56 34 12 FA
// and the movie's length, 32-bit little-endian).
std::vector<unsigned char> MakeLaterProjector(size_t stub_length,
                                              const std::vector<unsigned char>& movie);

}  // namespace quenlor::demo
