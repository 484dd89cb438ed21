// The reference of bench/small-files.sh: each movie (the bytes of FILE from OFFSET on) written into
// a new file in OUT_DIR, synced and renamed to TITLE.swf, one file after the other; the folder is
// synced once at the end. The least a conversion with the same durability does.
//   quenlor-bench-synced OUT_DIR OFFSET FILE...
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: quenlor-bench-synced OUT_DIR OFFSET FILE...\n");
        return 2;
    }
    const std::string out = std::string(argv[1]) + "/";
    const off_t offset = std::strtoll(argv[2], nullptr, 10);
    std::vector<unsigned char> bytes;
    for (int i = 3; i < argc; ++i) {
        const int in = ::open(argv[i], O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (in < 0 || ::fstat(in, &st) != 0 || st.st_size <= offset) return 1;
        bytes.resize(static_cast<size_t>(st.st_size - offset));
        const bool read =
            ::pread(in, bytes.data(), bytes.size(), offset) == static_cast<ssize_t>(bytes.size());
        ::close(in);
        std::string title = argv[i];
        title = title.substr(title.rfind('/') + 1);
        title = title.substr(0, title.rfind('.'));
        const std::string temporary = out + title + "~tmp";
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (!read || fd < 0) return 1;
        const bool written =
            ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
            ::fsync(fd) == 0;
        if (::close(fd) != 0 || !written) return 1;
        if (::rename(temporary.c_str(), (out + title + ".swf").c_str()) != 0) return 1;
    }
    const int dir = ::open(out.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = dir >= 0 && ::fsync(dir) == 0;
    if (dir >= 0) ::close(dir);
    return synced ? 0 : 1;
}
