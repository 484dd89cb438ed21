// The recovery core's window, without a window: rows in memory (all ticked), plain-digit sizes, and
// messages on standard error.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "quenlor/Host.h"

namespace quenlor::cli {

struct Row {
    std::wstring cells[5];
    std::wstring reason;  // why the conversion failed
    MovieFacts facts;     // what the written movie is
    bool checked = true;
};

// Rows are never removed here: row n has the identity n.

class CliFileList : public IFileList {
  public:
    // Called with each row's text as it is added (the scan prints projectors as they are found).
    std::function<void(const std::wstring&)> onAdd;

    void AddRow(const std::wstring& text) override;
    RowId IdOf(int row) const override { return static_cast<RowId>(row); }
    int RowOf(RowId id) const override {
        return id >= 1 && id <= rows_.size() ? static_cast<int>(id) : 0;
    }
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    std::wstring RowText(int row) const override;
    bool RowChecked(int row) const override;
    void SetCell(int row, Column column, const std::wstring& text) override;
    void SetReason(int row, const std::wstring& reason) override {
        if (RowOf(static_cast<RowId>(row)) != 0)
            rows_[static_cast<size_t>(row - 1)].reason = reason;
    }
    void SetFacts(int row, const MovieFacts& facts) override {
        if (RowOf(static_cast<RowId>(row)) != 0) rows_[static_cast<size_t>(row - 1)].facts = facts;
    }
    const Row& At(int row) const { return rows_.at(static_cast<size_t>(row - 1)); }

  private:
    std::vector<Row> rows_;
};

class CliStatusLine : public IStatusLine {
  public:
    void SetStatus(const std::wstring& text) override { last = text; }
    std::wstring last;
};

class CliPump : public IMessagePump {
  public:
    void Pump() override {}
};

class CliConvertPanel : public IConvertPanel {
  public:
    bool autoSave = true;
    bool deleteSource = false;
    std::wstring saveDir;

    bool AutoSave() const override { return autoSave; }
    bool DeleteSource() const override { return deleteSource; }
    std::wstring SaveDirText() const override { return saveDir; }
    void SetStopEnabled(bool) override {}
    void SetConvertEnabled(bool) override {}
    void ShowMessage(const std::wstring& text, const std::wstring& title) override;
    std::wstring FormatSize(uint64_t bytes) const override;
    // Reported on standard error as it happens; counted for the exit status.
    void SourceKept(const std::wstring& source) override;
    int sourcesKept = 0;
};

// The exit status of a convert run: 0 when every row converted, no source had to be kept and the
// record (if asked for) was written; 1 otherwise.
int ConvertExitStatus(const CliFileList& list, const CliConvertPanel& panel, bool record_written);

// Console output of wide text: UTF-8 bytes (UTF-16 to the console itself on Windows).
void WriteOut(const std::wstring& text);
void WriteErr(const std::wstring& text);

}  // namespace quenlor::cli
