// A file system that hands every call to a real one; tests derive from it and change only the
// calls they want to fail or cut short.
#pragma once

#include "quenlor/FileSystem.h"

namespace quenlor::test {

class DelegatingFileSystem : public FileSystem {
  public:
    explicit DelegatingFileSystem(FileSystem& real) : real_(real) {}

    wchar_t Separator() const override { return real_.Separator(); }
    std::wstring DirectoryPath(const std::wstring& t) const override {
        return real_.DirectoryPath(t);
    }
    std::wstring Absolute(const std::wstring& p) const override { return real_.Absolute(p); }
    std::wstring NameKey(const std::wstring& p) const override { return real_.NameKey(p); }
    std::unique_ptr<DirEnumeration> Enumerate(const std::wstring& d,
                                              const std::wstring& m) override {
        return real_.Enumerate(d, m);
    }
    std::unique_ptr<ReadableFile> OpenRead(const std::wstring& p) override {
        return real_.OpenRead(p);
    }
    std::unique_ptr<WritableFile> CreateNew(const std::wstring& p) override {
        return real_.CreateNew(p);
    }
    bool Rename(const std::wstring& f, const std::wstring& t) override {
        return real_.Rename(f, t);
    }
    bool SyncFolder(const std::wstring& d) override { return real_.SyncFolder(d); }
    bool Remove(const std::wstring& p) override { return real_.Remove(p); }
    bool ReadHead(const std::wstring& p, void* b, size_t c, size_t& got) override {
        return real_.ReadHead(p, b, c, got);
    }
    bool IsFolder(const std::wstring& p) override { return real_.IsFolder(p); }
    bool RemoveFolder(const std::wstring& p) override { return real_.RemoveFolder(p); }
    bool IsNormalFile(const std::wstring& p) override { return real_.IsNormalFile(p); }
    bool Identity(const std::wstring& p, FileIdentity& id) override {
        return real_.Identity(p, id);
    }
    bool FileSize(const std::wstring& p, uint64_t& s) override { return real_.FileSize(p, s); }

  protected:
    FileSystem& real_;
};

}  // namespace quenlor::test
