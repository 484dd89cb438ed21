// The convert batch: every ticked row's movie is copied into a .swf file, the row's cells are
// filled, and the source is deleted on request once its movie is completely written.
#pragma once

#include <cstdint>
#include <string>

#include "quenlor/FileSystem.h"
#include "quenlor/Host.h"
#include "quenlor/Pump.h"

namespace quenlor {

class Converter {
  public:
    Converter(FileSystem& fs, IFileList& list, IStatusLine& status, IMessagePump& pump,
              IConvertPanel& panel);

    // The convert command: runs the whole batch before it returns, pumping messages on the way.
    // Does nothing while a batch is already running (a click that arrives during one of its pumps).
    void Command7_Click();
    // Extracts one movie and writes the cells of row RowIndex: 1 on success, 0 on failure.
    int ExtractMovie(const std::wstring& source, const std::wstring& target);
    // True for an existing normal file (not hidden, not system, not a directory).
    bool FileExists(const std::wstring& path);

    bool Running() const { return running_; }

    // Batch state, kept after the batch ends.
    std::wstring SaveDir;
    std::wstring SourceFile;
    std::wstring TargetFile;
    int32_t RowIndex = 0;
    bool ExtractOk = false;
    // Set by the stop command and when the window closes; honoured after the current ticked row.
    bool StopRequested = false;
    // Also convert projectors of later players, found by their trailer (the command line's option).
    bool AnyVersion = false;

    static constexpr size_t kCopyChunk = 1 << 20;
    // A long copy is made durable in steps of this size, each followed by a chance to pump.
    static constexpr uint64_t kFlushEvery = uint64_t{32} << 20;

  private:
    bool CopyMovie(ReadableFile& source, uint64_t start, uint64_t end, const std::wstring& target,
                   unsigned& version);

    FileSystem& fs_;
    IFileList& list_;
    IStatusLine& status_;
    IConvertPanel& panel_;
    PumpPacer pacer_;
    bool running_ = false;
};

}  // namespace quenlor
