// The converter's tests share a batch over real files in a fresh folder, with fake list, status
// line, pump and panel, and a file system that fails chosen operations.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "tests/core/DelegatingFileSystem.h"
#include "tests/core/Fakes.h"
#include "tests/core/TempDir.h"
#include "quenlor/Converter.h"
#include "quenlor/Projector.h"
#include "quenlor/Search.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quenlor::test {

// Delegates to the real file system, failing chosen operations.
class FaultyFileSystem : public DelegatingFileSystem {
  public:
    using DelegatingFileSystem::DelegatingFileSystem;
    uint64_t failWriteAfter = UINT64_MAX;  // bytes
    bool failReplace = false;
    bool failRemove = false;
    std::function<bool(const std::wstring&)> failIdentity;  // no identity for these paths
    int commits = 0;                                        // files made durable

    std::unique_ptr<WritableFile> CreateNew(const std::wstring& p) override {
        auto inner = real_.CreateNew(p);
        if (!inner) return nullptr;
        return std::make_unique<Faulty>(std::move(inner), failWriteAfter, commits);
    }
    bool Rename(const std::wstring& f, const std::wstring& t) override {
        return !failReplace && real_.Rename(f, t);
    }
    bool Remove(const std::wstring& p) override { return !failRemove && real_.Remove(p); }
    bool Identity(const std::wstring& p, FileIdentity& id) override {
        return !(failIdentity && failIdentity(p)) && real_.Identity(p, id);
    }

  private:
    class Faulty : public WritableFile {
      public:
        Faulty(std::unique_ptr<WritableFile> inner, uint64_t limit, int& commits)
            : inner_(std::move(inner)), left_(limit), commits_(commits) {}
        bool Write(const void* data, size_t count) override {
            if (count > left_) {
                inner_->Write(data, static_cast<size_t>(left_));  // a disk that fills up
                left_ = 0;
                full_ = true;
                return false;
            }
            left_ -= count;
            return inner_->Write(data, count);
        }
        bool Flush() override { return inner_->Flush(); }
        bool Commit() override {
            ++commits_;
            return inner_->Commit();
        }
        bool OutOfSpace() const override { return full_; }

      private:
        std::unique_ptr<WritableFile> inner_;
        uint64_t left_;
        int& commits_;
        bool full_ = false;
    };
};

inline std::vector<unsigned char> Tail(const std::vector<unsigned char>& bytes, size_t from) {
    return std::vector<unsigned char>(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                      bytes.end());
}

// Files below the MAX_PATH limit are made with the test's own means (on Windows the \\?\ form),
// so that only the code under test meets the long path in its ordinary form.
#ifdef _WIN32
inline std::wstring Extended(const TempDir& dir, const std::wstring& relative) {
    std::wstring path = L"\\\\?\\" + dir.Path(relative);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}
#endif

inline void WriteLong(const TempDir& dir, const std::wstring& relative,
                      const std::vector<unsigned char>& bytes) {
#ifdef _WIN32
    for (size_t slash = relative.find(L'/'); slash != std::wstring::npos;
         slash = relative.find(L'/', slash + 1)) {
        CreateDirectoryW(Extended(dir, relative.substr(0, slash)).c_str(), nullptr);
    }
    const HANDLE file = CreateFileW(Extended(dir, relative).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
#else
    dir.Write(relative, bytes);
#endif
}

// Removes the long tree's directories, innermost first (TempDir cleans up the rest).
inline void RemoveLongTree(const TempDir& dir, std::wstring relative) {
#ifdef _WIN32
    while (!relative.empty()) {
        RemoveDirectoryW(Extended(dir, relative).c_str());
        const size_t slash = relative.rfind(L'/', relative.size() - 2);
        relative = slash == std::wstring::npos ? L"" : relative.substr(0, slash + 1);
    }
#else
    (void)dir;
    (void)relative;
#endif
}

// A batch of its own over a fresh folder, for the tables whose every row needs one.
struct FreshBatch {
    explicit FreshBatch(FileSystem& fs) : converter(fs, list, status, pump, panel) {}
    TempDir dir;
    FakeList list;
    FakePump pump;
    FakeStatus status;
    FakePanel panel;
    Converter converter;
};

class ConverterTest : public ::testing::Test {
  protected:
    ConverterTest() : fs_(NativeFileSystem()), converter_(fs_, list_, status_, pump_, panel_) {}

    // Writes a projector and adds it as a row; returns its bytes.
    std::vector<unsigned char> AddProjector(const std::wstring& name, uint64_t stub,
                                            uint64_t length, unsigned char version = 6,
                                            bool checked = true) {
        auto bytes = ProjectorBytes(stub, length, version);
        dir_.Write(name, bytes);
        list_.AddChecked(dir_.Path(name), checked);
        return bytes;
    }
    std::wstring Cell(int row, Column c) const { return list_.Cell(row, c); }

    TempDir dir_;
    FileSystem& fs_;
    FakeList list_;
    FakeStatus status_;
    FakePump pump_;
    FakePanel panel_;
    Converter converter_;
};

}  // namespace quenlor::test
