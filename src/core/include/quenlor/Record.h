// The record of a convert batch, for archivists: one row per source, written as a CSV file
// (RFC 4180, UTF-8 with a byte-order mark so that spreadsheet programs show Chinese paths).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "quenlor/FileSystem.h"
#include "quenlor/MovieFacts.h"

namespace quenlor {

struct RecordRow {
    std::wstring source;
    bool succeeded = false;
    std::wstring reason;                  // why it failed; on success, kNoHash or empty
    int version = -1;                     // the movie's version byte; -1 when no movie was found
    std::string kind;                     // "FWS", "CWS" or "ZWS"; empty when no movie was found
    std::optional<uint64_t> source_size;  // when the source could be opened
    std::optional<uint64_t> movie_size;   // the written movie's size
    std::wstring output;                  // the written movie's path
    std::string sha256;                   // of the written movie, hex; empty when none
    MovieFacts facts;                     // of the written movie; its kind empty when none
    std::wstring duplicate_of;  // an earlier movie of the batch with the same SHA-256, if any
};

// The reason of a converted row whose movie could not be hashed, even read back from the disk.
inline constexpr wchar_t kNoHash[] = L"无法计算影片的SHA-256";

// One field, quoted when it holds a comma, a quote or a line break; quotes inside are doubled.
std::string CsvField(const std::string& utf8);
// The whole file: byte-order mark, a header line, one line per row; lines end with CR LF.
std::string RecordCsv(const std::vector<RecordRow>& rows);

enum class RecordResult {
    Written,
    Failed,            // the file could not be created, written or put in place
    WouldReplaceFile,  // the path names a source or a movie of the batch: nothing written
};

// Writes the record to `path`: into a new file beside it, made durable, then put in the place of
// any earlier file of that name in one step. A failure leaves an earlier file as it was.
RecordResult WriteRecord(FileSystem& fs, const std::wstring& path,
                         const std::vector<RecordRow>& rows);

}  // namespace quenlor
