// What the recovery core needs from its window. The main window implements these with its real
// controls; the command-line front end and the tests implement them in memory.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "quenlor/MovieFacts.h"

namespace quenlor {

// Columns of the file list, by header: "文件名称", "转换结果", "Flash版本", "大小", "保存目录".
enum class Column { FileName = 0, Result = 1, Version = 2, Size = 3, SaveDir = 4 };

// A row's identity: given when the row is added and never given again in the list's life, so that
// work on a row finds it again after other rows were removed or the list was cleared. 0 is no row.
using RowId = uint64_t;

// The file list. Rows are numbered from 1 in display order.
class IFileList {
  public:
    virtual ~IFileList() = default;
    virtual void AddRow(const std::wstring& text) = 0;
    virtual RowId IdOf(int row) const = 0;
    // The row's number now, or 0 when it is no longer in the list.
    virtual int RowOf(RowId id) const = 0;
    virtual int RowCount() const = 0;
    virtual std::wstring RowText(int row) const = 0;
    virtual bool RowChecked(int row) const = 0;
    virtual void SetCell(int row, Column column, const std::wstring& text) = 0;
    // Why the row's conversion failed, in the person's words; empty when it did not (or not yet).
    virtual void SetReason(int /*row*/, const std::wstring& /*reason*/) {}
    // The row's movie was written and then its source deleted: the row is unticked, keeps its
    // cells, and no later batch converts it again (there is nothing left to convert).
    virtual void MarkSourceDeleted(int /*row*/) {}
    virtual bool SourceDeleted(int /*row*/) const { return false; }
    // What the row's written movie is (its kind empty: none, or not converted yet).
    virtual void SetFacts(int /*row*/, const MovieFacts& /*facts*/) {}
};

// The status line: one text, shown by both labels of the engraved pair.
class IStatusLine {
  public:
    virtual ~IStatusLine() = default;
    virtual void SetStatus(const std::wstring& text) = 0;
};

// Lets every pending window message of the thread run, then returns.
class IMessagePump {
  public:
    virtual ~IMessagePump() = default;
    virtual void Pump() = 0;
    // Where a queue check is dear, the shortest time between two worth making: the long loops'
    // steps closer together than this are merged into one. Zero: every step checks.
    virtual std::chrono::microseconds CheckGap() const { return std::chrono::microseconds{0}; }
};

// The options and buttons of the main window that the convert batch reads and changes.
class IConvertPanel {
  public:
    virtual ~IConvertPanel() = default;
    virtual bool AutoSave() const = 0;                 // Check1 ticked
    virtual bool DeleteSource() const = 0;             // Check2 ticked
    virtual std::wstring SaveDirText() const = 0;      // the text of Text2
    virtual void SetStopEnabled(bool enabled) = 0;     // Command6 "停止"
    virtual void SetConvertEnabled(bool enabled) = 0;  // Command7 "转换"
    // The program's one message box: information icon, OK button.
    virtual void ShowMessage(const std::wstring& text, const std::wstring& title) = 0;
    // A byte count with the user's digit grouping and no decimals ("12,345").
    virtual std::wstring FormatSize(uint64_t bytes) const = 0;
    // The source of a converted row could not be deleted (read-only, or open elsewhere). The row
    // stays converted; the window shows nothing more, the command line reports it.
    virtual void SourceKept(const std::wstring& /*source*/) {}
};

}  // namespace quenlor
