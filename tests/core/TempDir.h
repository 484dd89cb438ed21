// A fresh directory on the real file system, removed with everything in it at the end of a test.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "quenlor/FileSystem.h"
#include "quenlor/Text.h"

namespace quenlor::test {

namespace fs = std::filesystem;

// std::filesystem converts wide names through the C locale on POSIX; the core's names are UTF-8.
inline fs::path ToPath(const std::wstring& wide) {
#ifdef _WIN32
    return fs::path(wide);
#else
    return fs::path(ToUtf8(wide));
#endif
}
inline std::wstring FromPath(const fs::path& path) {
#ifdef _WIN32
    return fs::path(path).make_preferred().wstring();
#else
    return FromUtf8(path.string());
#endif
}

class TempDir {
  public:
    TempDir() {
        std::random_device rd;
        const fs::path base = fs::temp_directory_path();
        for (;;) {
            path_ = base / ("quenlor-test-" + std::to_string(rd()));
            if (fs::create_directory(path_)) break;
        }
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    // The directory as the core spells it: ending with the separator.
    std::wstring Dir() const { return NativeFileSystem().DirectoryPath(FromPath(path_)); }
    std::wstring Path(const std::wstring& relative) const {
        return FromPath(path_ / ToPath(relative));
    }

    void Write(const std::wstring& relative, const std::vector<unsigned char>& bytes) const {
        const fs::path p = path_ / ToPath(relative);
        fs::create_directories(p.parent_path());
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<unsigned char> Read(const std::wstring& relative) const {
        std::ifstream in(path_ / ToPath(relative), std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
    }
    bool Exists(const std::wstring& relative) const { return fs::exists(path_ / ToPath(relative)); }
    void MakeDir(const std::wstring& relative) const {
        fs::create_directories(path_ / ToPath(relative));
    }
    std::vector<std::wstring> Names(const std::wstring& relative = L"") const {
        std::vector<std::wstring> names;
        for (const auto& e : fs::directory_iterator(path_ / ToPath(relative))) {
            names.push_back(FromPath(e.path().filename()));
        }
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    fs::path path_;
};

}  // namespace quenlor::test
