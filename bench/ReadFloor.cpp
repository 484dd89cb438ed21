// The floor a scan is measured against: walks the same tree and reads, in one read per file, the
// same byte range the search's scan reads (from 286699 to 377002, cut at the end of the file), and
// nothing else: no pattern matching, no sorting, no output. With --heads: the first 64 bytes of
// every file without extension instead (the floor of a search that looks at such files).
//   quenlor-bench-floor [--heads] DIR
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> buffer(377002 - 286699);
unsigned long long total = 0;
bool heads = false;

void Walk(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    std::vector<std::string> subdirs;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name[0] == '.') continue;
        const std::string path = dir + "/" + name;
        if (e->d_type == DT_DIR) {
            subdirs.push_back(path);
            continue;
        }
        if (heads) {
            if (name.find('.', 1) != std::string::npos) continue;
            const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
            if (fd < 0) continue;
            const ssize_t n = ::pread(fd, buffer.data(), 64, 0);
            if (n > 0) total += static_cast<unsigned long long>(n);
            ::close(fd);
            continue;
        }
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".exe") != 0) continue;
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_size > 286700) {
            const off_t end = std::min<off_t>(st.st_size, 377002);
            const ssize_t n = ::pread(fd, buffer.data(), static_cast<size_t>(end - 286699), 286699);
            if (n > 0) total += static_cast<unsigned long long>(n);
        }
        ::close(fd);
    }
    ::closedir(d);
    for (const auto& s : subdirs) Walk(s);
}

}  // namespace

int main(int argc, char** argv) {
    heads = argc == 3 && std::string(argv[1]) == "--heads";
    if (argc != 2 + heads) return 2;
    Walk(argv[argc - 1]);
    std::printf("%llu bytes read\n", total);
    return 0;
}
