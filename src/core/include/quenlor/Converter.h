// The convert batch: every ticked row's movie is copied into a .swf file, the row's cells are
// filled, and the source is deleted on request once its movie is completely written.
#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>

#include "quenlor/Failure.h"
#include "quenlor/FileSystem.h"
#include "quenlor/Host.h"
#include "quenlor/Pump.h"
#include "quenlor/Record.h"
#include "quenlor/Sha256.h"

namespace quenlor {

class Converter {
  public:
    Converter(FileSystem& fs, IFileList& list, IStatusLine& status, IMessagePump& pump,
              IConvertPanel& panel);

    // The convert command: runs the whole batch before it returns, pumping messages on the way.
    // Does nothing while a batch is already running (a click that arrives during one of its pumps).
    // 自动保存, the save directory and 删除原文件 are read once, when the batch starts.
    void Command7_Click();
    // Extracts one movie and writes the cells of row CurrentRow: 1 on success, 0 on failure.
    int ExtractMovie(const std::wstring& source, const std::wstring& target);
    // True for an existing normal file (not hidden, not system, not a directory).
    bool FileExists(const std::wstring& path);

    bool Running() const { return running_; }

    // Batch state, kept after the batch ends.
    std::wstring SaveDir;
    std::wstring SourceFile;
    std::wstring TargetFile;
    int32_t RowIndex = 0;  // the row's place in the batch, as the status line counts it
    RowId CurrentRow = 0;  // the row being converted: its cells are written, wherever it now is
    bool ExtractOk = false;
    // Why the last ExtractMovie failed (None after a success).
    Failure LastFailure = Failure::None;
    // Set by the stop command and when the window closes; honoured after the current ticked row.
    bool StopRequested = false;
    // Also convert projectors of later players, found by their trailer (the command line's option).
    bool AnyVersion = false;
    // The record of the last batch: one row per ticked row it converted or failed.
    std::vector<RecordRow> Record;
    // Makes each movie's SHA-256 for the record while it is copied; none when null.
    Sha256Factory NewDigest = nullptr;

    static constexpr size_t kCopyChunk = 1 << 20;
    // A long copy is made durable in steps of this size, each followed by a chance to pump.
    static constexpr uint64_t kFlushEvery = uint64_t{32} << 20;

  private:
    bool CopyMovie(ReadableFile& source, uint64_t start, uint64_t end, const std::wstring& target,
                   unsigned& version);
    // `target`, unless this batch has already written that file (by identity, or by name where
    // no identity can be read): then the first of "title (2).swf", "title (3).swf", ... it has
    // not.
    std::wstring FreeTarget(const std::wstring& target);
    bool WrittenByThisBatch(const std::wstring& path);
    // A name beside `target` for the copy in progress, no longer than the target's own name.
    std::wstring TemporaryName(const std::wstring& target);
    // True when the row being converted was removed from the list meanwhile.
    bool RowGone() const;
    void SetCell(Column column, const std::wstring& text);
    // Adds the row just converted (or failed) to the record (ConverterRecord.cpp).
    void RecordRowDone();

    FileSystem& fs_;
    IFileList& list_;
    IStatusLine& status_;
    IConvertPanel& panel_;
    PumpPacer pacer_;
    bool batch_any_version_ = false;  // AnyVersion as the running batch took it at its start
    bool running_ = false;
    std::set<FileIdentity> written_;        // the movies this batch has written
    std::set<std::wstring> written_names_;  // ... and their names, as the file system keys them
    std::minstd_rand temporary_names_;
    RecordRow facts_;  // what the extraction learned of the row in hand, for the record
    std::map<std::string, std::wstring> first_movies_;  // SHA-256 -> the batch's first such movie
};

}  // namespace quenlor
