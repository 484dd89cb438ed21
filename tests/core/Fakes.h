// In-memory stand-ins for the window and for files, shared by the core tests.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "quenlor/FileSystem.h"
#include "quenlor/Host.h"

namespace quenlor::test {

struct FakeRow {
    std::wstring cells[5];
    bool checked = false;
    RowId id = 0;
    std::wstring reason;
    bool sourceDeleted = false;
};

class FakeList : public IFileList {
  public:
    std::vector<FakeRow> rows;

    void AddRow(const std::wstring& text) override {
        FakeRow row;
        row.cells[0] = text;
        row.id = ++lastId_;
        rows.push_back(row);
    }
    RowId IdOf(int row) const override { return rows.at(row - 1).id; }
    int RowOf(RowId id) const override {
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].id == id) return static_cast<int>(i) + 1;
        }
        return 0;
    }
    int RowCount() const override { return static_cast<int>(rows.size()); }
    std::wstring RowText(int row) const override { return rows.at(row - 1).cells[0]; }
    bool RowChecked(int row) const override { return rows.at(row - 1).checked; }
    void SetCell(int row, Column column, const std::wstring& text) override {
        rows.at(row - 1).cells[static_cast<int>(column)] = text;
    }
    void SetReason(int row, const std::wstring& reason) override {
        rows.at(row - 1).reason = reason;
    }
    void MarkSourceDeleted(int row) override {
        rows.at(row - 1).sourceDeleted = true;
        rows.at(row - 1).checked = false;
    }
    bool SourceDeleted(int row) const override { return rows.at(row - 1).sourceDeleted; }
    const std::wstring& Cell(int row, Column column) const {
        return rows.at(row - 1).cells[static_cast<int>(column)];
    }
    void AddChecked(const std::wstring& text, bool checked = true) {
        AddRow(text);
        rows.back().checked = checked;
    }

  private:
    RowId lastId_ = 0;
};

class FakeStatus : public IStatusLine {
  public:
    std::vector<std::wstring> history;
    void SetStatus(const std::wstring& text) override { history.push_back(text); }
    std::wstring Last() const { return history.empty() ? std::wstring() : history.back(); }
};

// Counts pumps and runs a hook inside each, as a window's pending messages would run.
class FakePump : public IMessagePump {
  public:
    int pumps = 0;
    std::function<void()> onPump;
    std::chrono::microseconds gap{0};  // taken by a pacer when it is made
    void Pump() override {
        ++pumps;
        if (onPump) onPump();
    }
    std::chrono::microseconds CheckGap() const override { return gap; }
};

class FakePanel : public IConvertPanel {
  public:
    bool autoSave = true;
    bool deleteSource = false;
    std::wstring saveDir;
    std::vector<std::wstring> messages;  // "title|text"
    std::vector<std::wstring> buttonEvents;

    bool AutoSave() const override { return autoSave; }
    bool DeleteSource() const override { return deleteSource; }
    std::wstring SaveDirText() const override { return saveDir; }
    void SetStopEnabled(bool enabled) override {
        buttonEvents.push_back(enabled ? L"stop+" : L"stop-");
    }
    void SetConvertEnabled(bool enabled) override {
        buttonEvents.push_back(enabled ? L"convert+" : L"convert-");
    }
    void ShowMessage(const std::wstring& text, const std::wstring& title) override {
        messages.push_back(title + L"|" + text);
    }
    std::wstring FormatSize(uint64_t bytes) const override {
        return L"<" + std::to_wstring(bytes) + L">";
    }
    void SourceKept(const std::wstring& source) override { kept.push_back(source); }
    std::vector<std::wstring> kept;
};

// A file held in memory. Bytes past the stored data read as zero up to the stated size, so a
// multi-gigabyte file costs nothing. Every read is recorded.
class MemoryFile : public ReadableFile {
  public:
    MemoryFile(std::vector<unsigned char> data, uint64_t size)
        : data_(std::move(data)), size_(size) {}
    explicit MemoryFile(std::vector<unsigned char> data)
        : data_(std::move(data)), size_(data_.size()) {}

    struct Read {
        uint64_t offset;
        size_t count;
    };
    std::vector<Read> reads;
    uint64_t readableUpTo = UINT64_MAX;  // simulates a file that shrank after it was opened
    bool failReads = false;

    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* buffer, size_t count, size_t& got) override {
        reads.push_back({offset, count});
        got = 0;
        if (failReads) return false;
        const uint64_t end = std::min({size_, readableUpTo, offset + count});
        if (end <= offset) return true;
        auto* out = static_cast<unsigned char*>(buffer);
        got = static_cast<size_t>(end - offset);
        const uint64_t stored = std::min<uint64_t>(end, data_.size());
        const size_t copied = stored > offset ? static_cast<size_t>(stored - offset) : 0;
        if (copied > 0) std::memcpy(out, data_.data() + offset, copied);
        std::memset(out + copied, 0, got - copied);
        return true;
    }

  private:
    std::vector<unsigned char> data_;
    uint64_t size_;
};

// Bytes of a file whose signature sits at `signature_at`: zeros, then "FWS", `version`, filler.
inline std::vector<unsigned char> ProjectorBytes(uint64_t signature_at, uint64_t length,
                                                 unsigned char version = 6) {
    std::vector<unsigned char> bytes(static_cast<size_t>(length), 0);
    const char sig[] = {'F', 'W', 'S'};
    for (int i = 0; i < 3 && signature_at + i < length; ++i) bytes[signature_at + i] = sig[i];
    if (signature_at + 3 < length) bytes[signature_at + 3] = version;
    for (uint64_t i = signature_at + 4; i < length; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7);
    return bytes;
}

}  // namespace quenlor::test
