// The convert batch: every ticked row's movie is copied into a .swf file, the row's cells are
// filled, and the source is deleted on request once its movie is completely written.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "quenlor/BackgroundJob.h"
#include "quenlor/Failure.h"
#include "quenlor/FileSystem.h"
#include "quenlor/Host.h"
#include "quenlor/Pump.h"
#include "quenlor/Record.h"
#include "quenlor/ReplacingWrite.h"
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
    // Unsettled rows are settled at the latest after this many, or this long after the first.
    static constexpr size_t kSettleRows = 1000;
    static constexpr std::chrono::milliseconds kSettleAfter{250};
    // Movies whose data is synced at the same time, each on its own thread.
    static constexpr size_t kCommitters = 4;

  private:
    // Opens the source and finds its movie, the bytes [start, end) of `file`; sets LastFailure
    // when there is none.
    bool FindMovie(const std::wstring& source, std::unique_ptr<ReadableFile>& file, uint64_t& start,
                   uint64_t& end);
    bool CopyMovie(ReadableFile& source, uint64_t start, uint64_t end, const std::wstring& target,
                   unsigned& version);
    // `target`, unless this batch has already written that file (by identity, or by name where
    // no identity can be read): then the first of "title (2).swf", "title (3).swf", ... it has
    // not.
    std::wstring FreeTarget(const std::wstring& target);
    bool WrittenByThisBatch(const std::wstring& path);
    // True when the row being converted was removed from the list meanwhile.
    bool RowGone() const;
    void SetCell(Column column, const std::wstring& text);
    // Adds the row just converted (or failed) to the record (ConverterRecord.cpp).
    void RecordRowDone();
    // The movie's SHA-256 for the record: `copied` as made during the copy, else the movie read
    // back from `target`; the record's reason says when neither could be had.
    void HashForRecord(std::string copied, const std::wstring& target);
    std::string ReadBackDigest(const std::wstring& path);

    // A movie's last steps in a batch, the sync of its data and its rename, run on a second
    // thread while the next files are copied.
    struct Committing {
        std::unique_ptr<ReplacingWrite> write;
        ReplacingWrite::Result result = ReplacingWrite::Result::NotDurable;
    };
    // Rows whose movies are copied but not yet surely durable under their names: their data's
    // sync may still run, and their folder is not yet synced. Syncing a folder once for many
    // movies, and one movie's data while the next is copied, saves disk round trips per file; no
    // source is deleted, and no row counts as converted for good, before both syncs.
    struct Unsettled {
        RowId row;
        std::wstring source;
        std::wstring target;
        bool bundle;                         // the source is an .app folder, deleted as a whole
        size_t record;                       // its row in Record
        std::unique_ptr<Committing> commit;  // null when the movie was put in place at once
    };
    bool SettleDue() const;
    // Waits for the unsettled rows' commits, syncs their folders, then deletes their sources when
    // asked, or fails the rows whose movie did not become durable. Returns how many failed.
    int Settle(bool delete_source);
    void FailSettled(const Unsettled& row, Failure failure);
    // Deletes a settled row's source: a file, or an .app folder as a whole (reporting what stayed).
    bool DeleteSource(const Unsettled& row);

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
    bool source_is_bundle_ = false;  // the row in hand names an .app folder
    RecordRow facts_;  // what the extraction learned of the row in hand, for the record
    std::unique_ptr<Committing> committing_;  // handed on by CopyMovie for the row in hand
    std::vector<Unsettled> unsettled_;
    std::chrono::steady_clock::time_point unsettled_since_;
    // Last: their end waits for the commits, which use the members above.
    std::vector<std::unique_ptr<BackgroundJob>> committers_;
    size_t next_committer_ = 0;
    std::map<std::string, std::wstring> first_movies_;  // SHA-256 -> the batch's first such movie
};

}  // namespace quenlor
