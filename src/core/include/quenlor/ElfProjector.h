// Linux projectors: the ELF player program with the movie appended behind the end of its ELF
// image. The image ends at the furthest byte its headers account for: the ELF header, the program
// and section header tables, and every section and segment that occupies file space. Behind it:
//   i386 (machine 3):     movie length (4 bytes, little-endian), marker 56 34 12 FA, the movie;
//   x86-64 (machine 62):  movie length (8 bytes), marker 56 34 12 FA FF FF FF FF, the movie.
// The length must reach exactly to the end of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "quenlor/FileSystem.h"

namespace quenlor {

// Enough of a file's first bytes to tell an ELF file and read its header.
constexpr size_t kElfHeadBytes = 64;

// True when `head` (`count` bytes of it) opens with the ELF magic 7F 'E' 'L' 'F'.
bool IsElfMagic(const unsigned char* head, size_t count);

enum class ElfVerdict {
    NotElf,          // no ELF magic, or a class or byte order no projector has
    Damaged,         // the headers point outside the file, or could not be read
    NoMovie,         // nothing, or no marker, behind the image (or a machine with no layout)
    LengthMismatch,  // the marker is there, but the length does not reach the end of the file
    NotMovie,        // the length fits, but no movie header follows
    Movie,
};

struct ElfMovie {
    ElfVerdict verdict = ElfVerdict::NotElf;
    uint64_t start = 0;  // the movie: the file's bytes [start, start + length)
    uint64_t length = 0;
};

// Reads the ELF header, the two header tables and the few bytes behind the image; nothing else.
// `head` may hold the file's first bytes already read (at most kElfHeadBytes are used).
ElfMovie FindElfMovie(ReadableFile& file, const unsigned char* head = nullptr, size_t count = 0);

// The folder search's check of a file without extension: true when it is a Linux projector.
bool HoldsElfMovie(FileSystem& fs, const std::wstring& path);

}  // namespace quenlor
