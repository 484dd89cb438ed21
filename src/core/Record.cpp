#include "quenlor/Record.h"

#include <chrono>
#include <iterator>

#include "quenlor/ReplacingWrite.h"
#include "quenlor/Sha256.h"
#include "quenlor/Text.h"

namespace quenlor {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr char kLineEnd[] = "\r\n";
constexpr char kHeader[] =
    "源文件,结果,原因,Flash版本,类型,源文件大小,影片大小,输出文件,SHA-256,宽度,高度,帧频,帧数,"
    "ActionScript 3,完整性,重复";

std::string Number(const std::optional<uint64_t>& value) {
    return value ? std::to_string(*value) : std::string();
}

std::string Line(const RecordRow& row) {
    const bool facts = row.facts.has_header;
    const std::string fields[] = {
        ToUtf8(row.source),
        row.succeeded ? "成功" : "失败",
        ToUtf8(row.reason),
        row.version >= 0 ? std::to_string(row.version) : std::string(),
        row.kind,
        Number(row.source_size),
        Number(row.movie_size),
        ToUtf8(row.output),
        row.sha256,
        facts ? ToUtf8(PixelsText(row.facts.width_twips)) : std::string(),
        facts ? ToUtf8(PixelsText(row.facts.height_twips)) : std::string(),
        facts ? ToUtf8(RateText(row.facts.rate)) : std::string(),
        facts ? std::to_string(row.facts.frames) : std::string(),
        facts ? (row.facts.as3 ? "是" : "否") : std::string(),
        row.facts.kind.empty()      ? std::string()
        : row.facts.problem.empty() ? "完整"
                                    : ToUtf8(row.facts.problem),
        ToUtf8(row.duplicate_of),
    };
    std::string line;
    for (size_t i = 0; i < std::size(fields); ++i) {
        if (i > 0) line += ',';
        line += CsvField(fields[i]);
    }
    return line + kLineEnd;
}

// A file of the batch: writing the record there would destroy a source or a movie.
bool NamesBatchFile(FileSystem& fs, const std::wstring& path, const std::vector<RecordRow>& rows) {
    const SameFileCheck record(fs, path);
    for (const RecordRow& row : rows) {
        if (record.Is(row.source)) return true;
        if (!row.output.empty() && record.Is(row.output)) return true;
    }
    return false;
}

}  // namespace

std::string HexOf(const unsigned char* bytes, size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 15];
    }
    return hex;
}

std::string CsvField(const std::string& utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
    std::string field = "\"";
    for (const char c : utf8) {
        if (c == '"') field += '"';
        field += c;
    }
    return field + '"';
}

std::string RecordCsv(const std::vector<RecordRow>& rows) {
    std::string csv = std::string(kBom) + kHeader + kLineEnd;
    for (const RecordRow& row : rows) csv += Line(row);
    return csv;
}

RecordResult WriteRecord(FileSystem& fs, const std::wstring& path,
                         const std::vector<RecordRow>& rows) {
    if (NamesBatchFile(fs, path, rows)) return RecordResult::WouldReplaceFile;
    const std::string bytes = RecordCsv(rows);
    std::minstd_rand names(static_cast<std::minstd_rand::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count()));
    ReplacingWrite out(fs, path, names);
    if (!out.Open() || !out.File().Write(bytes.data(), bytes.size())) return RecordResult::Failed;
    return out.Commit() == ReplacingWrite::Result::Replaced ? RecordResult::Written
                                                            : RecordResult::Failed;
}

}  // namespace quenlor
