// Recognising projectors: a player stub with an uncompressed movie ("FWS") appended. The stub's
// length is guessed from tables of known lengths; the signature is looked for in a narrow window
// around each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "quenlor/FileSystem.h"
#include "quenlor/Host.h"
#include "quenlor/Pump.h"

namespace quenlor {

// Known stub lengths in scan order; the first entry is the table's base.
struct StubTable {
    const int64_t* entries;
    size_t count;
};
extern const StubTable kSearchTable;      // 286700, 290800, 376800
extern const StubTable kExtractionTable;  // 90100, 94200, 102450, 286700, 290800, 376800

constexpr int kWindowCandidates = 201;  // offsets S-1 .. S+199
constexpr int64_t kMinimumTail = 21;    // a candidate needs this many bytes from it to the end

// The byte range the scan reads: from base-1 up to the last byte any window can look at.
struct ScanRegion {
    uint64_t offset;
    uint64_t length;
};
ScanRegion RegionFor(const StubTable& table, uint64_t file_length);

// Scans an open file; the movie's start offset, or nothing. Reads the region in one read.
std::optional<int64_t> FindMovieStart(ReadableFile& file, const StubTable& table, PumpPacer& pacer);
// The same, reading into `buffer`: a loop over thousands of files passes one buffer every time
// rather than have a fresh block made for each (never a buffer a scan further up still uses).
std::optional<int64_t> FindMovieStart(ReadableFile& file, const StubTable& table, PumpPacer& pacer,
                                      std::vector<unsigned char>& buffer);

// The folder search's per-file check: appends a row holding `path` when it is a projector. With
// `any_version`, a file whose stub windows hold no movie still counts when its trailer is valid.
// `scan_buffer`, when given, is the buffer the scan reads into (see FindMovieStart).
void CheckProjector(FileSystem& fs, IFileList& list, PumpPacer& pacer, const std::wstring& path,
                    bool any_version = false, std::vector<unsigned char>* scan_buffer = nullptr);

// Reads `count` bytes at `offset`, looping over short reads; `total` receives the number read.
bool ReadFully(ReadableFile& file, uint64_t offset, unsigned char* buffer, size_t count,
               size_t& total);

// C:\games\intro.exe gives "intro"; a path without separator is returned unchanged; a name without
// "." after the last separator is returned whole.
std::wstring GetFileTitle(const std::wstring& path, wchar_t separator = L'\\');
// True when the last part of `path` has no extension: no "." after its first character (a
// leading dot opens a name, it makes no extension). Linux projectors are named so.
bool WithoutExtension(const std::wstring& path, wchar_t separator = L'\\');
// C:\games\intro.exe gives C:\games\ ; a path without separator is returned unchanged.
std::wstring GetDirectoryPart(const std::wstring& path, wchar_t separator = L'\\');

}  // namespace quenlor
