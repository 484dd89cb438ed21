// Generates the benchmark inputs.
//   quenlor-bench-tree tree DIR [FILES]  a tree of .exe files of 0.3-8 MB in nested folders, about
//   3%
//                                        of them projectors, plus one sparse 4 GiB .exe
//   quenlor-bench-tree plain DIR [FILES] files without extension in nested folders, none a
//                                        projector
//   quenlor-bench-tree big FILE MIB      one projector with a movie of MIB mebibytes
//   quenlor-bench-tree links DIR N [FOLDERS]
//                                        N hard links of one small projector (the demo movie behind
//                                        a 286,700-byte stub) in FOLDERS folders, or all in DIR
//                                        named 0.exe, 1.exe ... when FOLDERS is 0
// Only the bytes a scan can reach are written with data; the rest of each file is left sparse, so
// the tree costs little disk but reads exactly like real files in that range.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tools/demo/SwfMovie.h"

namespace fs = std::filesystem;

namespace {

bool WriteSparse(const fs::path& path, const std::vector<unsigned char>& head, uint64_t size) {
    fs::create_directories(path.parent_path());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool ok = ::write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size());
    ok = ok && ::ftruncate(fd, static_cast<off_t>(std::max<uint64_t>(size, head.size()))) == 0;
    return ::close(fd) == 0 && ok;
}

int Tree(const fs::path& dir, int files) {
    std::mt19937_64 rng(20261208);
    std::uniform_int_distribution<uint64_t> size(300 * 1000, 8 * 1000 * 1000);
    const size_t stubs[] = {286700, 290800, 376800};
    const auto movie = quenlor::demo::MakeMovie(8, 24, 0x2080C0);
    int projectors = 0;
    for (int i = 0; i < files; ++i) {
        const fs::path sub = dir / ("d" + std::to_string(i % 40)) / ("e" + std::to_string(i % 7));
        const uint64_t length = size(rng);
        std::vector<unsigned char> head(static_cast<size_t>(std::min<uint64_t>(length, 400000)));
        for (auto& b : head) b = static_cast<unsigned char>(rng() % 69);  // never 'F' (70) or above
        if (i % 33 == 0) {
            const size_t stub = stubs[projectors++ % 3];
            head.resize(stub);
            head.insert(head.end(), movie.begin(), movie.end());
        }
        if (!WriteSparse(sub / ("game" + std::to_string(i) + ".exe"), head, length)) return 1;
    }
    std::vector<unsigned char> head(400000);
    for (auto& b : head) b = static_cast<unsigned char>(rng() % 69);
    if (!WriteSparse(dir / "huge" / "disc-image.exe", head, 4ull << 30)) return 1;
    std::printf("%d files, %d projectors, one sparse 4 GiB file\n", files + 1, projectors);
    return 0;
}

// Files without extension that are no projectors, as a Linux or Mac game folder holds them: text
// and data of 0.1-8 KB, and one in 50 an ELF program with nothing behind its image.
int Plain(const fs::path& dir, int files) {
    std::mt19937_64 rng(20261210);
    std::uniform_int_distribution<uint64_t> size(100, 8000);
    for (int i = 0; i < files; ++i) {
        const fs::path sub = dir / ("d" + std::to_string(i % 100)) / ("e" + std::to_string(i % 5));
        std::vector<unsigned char> head(64);
        for (auto& b : head) b = static_cast<unsigned char>('a' + rng() % 26);
        const uint64_t length = size(rng);
        if (i % 50 == 0) {
            // A 64-bit ELF header whose (empty) section table ends the file.
            const unsigned char elf[] = {0x7F, 'E', 'L', 'F', 2, 1, 1};
            std::copy(std::begin(elf), std::end(elf), head.begin());
            std::fill(head.begin() + 7, head.end(), 0);
            head[18] = 62;
            head[52] = 64;  // e_ehsize
            for (int b = 0; b < 8; ++b) head[40 + b] = static_cast<unsigned char>(length >> 8 * b);
        }
        if (!WriteSparse(sub / ("file" + std::to_string(i)), head, length)) return 1;
    }
    std::printf("%d files without extension, no projectors\n", files);
    return 0;
}

int Big(const fs::path& file, uint64_t mib) {
    fs::create_directories(file.parent_path());
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) return 1;
    std::vector<unsigned char> block(1 << 20);
    std::mt19937_64 rng(7);
    for (auto& b : block) b = static_cast<unsigned char>(rng());
    std::vector<unsigned char> stub(286700, 0);
    bool ok = std::fwrite(stub.data(), 1, stub.size(), out) == stub.size();
    const unsigned char header[] = {'F', 'W', 'S', 8, 0, 0, 0, 0};
    ok = ok && std::fwrite(header, 1, sizeof header, out) == sizeof header;
    for (uint64_t i = 0; ok && i < mib; ++i) {
        block[0] = static_cast<unsigned char>(i);  // every mebibyte differs
        ok = std::fwrite(block.data(), 1, block.size(), out) == block.size();
    }
    return std::fclose(out) == 0 && ok ? 0 : 1;
}

int Links(const fs::path& dir, int files, int folders) {
    std::vector<unsigned char> bytes(286700, 0);
    const auto movie = quenlor::demo::MakeMovie(8, 24, 0x2080C0);
    bytes.insert(bytes.end(), movie.begin(), movie.end());
    const fs::path source = dir.string() + ".projector";  // beside the tree, not in it
    if (!WriteSparse(source, bytes, bytes.size())) return 1;
    std::error_code error;
    for (int i = 0; i < files && !error; ++i) {
        const fs::path link = folders > 0 ? dir / ("d" + std::to_string(i % folders)) /
                                                ("p" + std::to_string(i) + ".exe")
                                          : dir / (std::to_string(i) + ".exe");
        fs::create_directories(link.parent_path(), error);
        if (!error) fs::create_hard_link(source, link, error);
    }
    if (error) std::fprintf(stderr, "quenlor-bench-tree: %s\n", error.message().c_str());
    return error ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "tree") {
        return Tree(argv[2], argc > 3 ? std::atoi(argv[3]) : 2000);
    }
    if (argc >= 3 && std::string(argv[1]) == "plain") {
        return Plain(argv[2], argc > 3 ? std::atoi(argv[3]) : 100000);
    }
    if (argc == 4 && std::string(argv[1]) == "big")
        return Big(argv[2], std::strtoull(argv[3], 0, 10));
    if ((argc == 4 || argc == 5) && std::string(argv[1]) == "links")
        return Links(argv[2], std::atoi(argv[3]), argc == 5 ? std::atoi(argv[4]) : 0);
    std::fprintf(
        stderr,
        "usage: quenlor-bench-tree tree DIR [FILES] | big FILE MIB | links DIR N [FOLDERS]\n");
    return 2;
}
