// Writes the demo folder: a few projectors whose movies are real, playable movies, a projector that
// a folder search must not list (its stub is only 90100 bytes long, though it converts when added
// by hand), a projector of a later player (a 0.8 MB stub, a compressed movie and its trailer) that
// only a search for every version lists, a program that is no projector, and a projector in a
// dot-directory the search skips.
//   quenlor-demo DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/demo/SwfMovie.h"

namespace fs = std::filesystem;
using quenlor::demo::Compress;
using quenlor::demo::MakeLaterProjector;
using quenlor::demo::MakeMovie;
using quenlor::demo::MakeProjector;

namespace {

bool Write(const fs::path& path, const std::vector<unsigned char>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quenlor-demo DIR\n");
        return 2;
    }
    const fs::path dir(argv[1]);
    struct Item {
        const char* name;
        size_t stub;
        unsigned char version;
        uint32_t colour;
    };
    const Item projectors[] = {
        {"intro.exe", 286700, 6, 0xD03030},
        {"games/racer.exe", 290800, 8, 0x3060D0},
        {"games/puzzles/puzzle.exe", 376800, 7, 0x30A040},
        {"games/\xe5\xb0\x8f\xe6\xb8\xb8\xe6\x88\x8f.exe", 286750, 9, 0xE0A020},  // 小游戏.exe
        {"handmade.exe", 90100, 5, 0x8040C0},         // listed only when added by hand
        {".cache/skipped.exe", 286700, 6, 0x404040},  // inside a dot-directory
    };
    bool ok = true;
    for (const Item& item : projectors) {
        ok = Write(dir / fs::u8path(item.name),
                   MakeProjector(item.stub, MakeMovie(item.version, 36, item.colour))) &&
             ok;
    }
    ok = Write(dir / "games" / "quest.exe",
               MakeLaterProjector(800000, Compress(MakeMovie(8, 36, 0x20A0A0)))) &&
         ok;
    // A program that is no projector, and a lone movie that is not an .exe.
    ok = Write(dir / "notepad.exe", MakeProjector(300000, {'M', 'Z', 0, 0})) && ok;
    ok = Write(dir / "loose.swf", MakeMovie(6, 12, 0x000000)) && ok;
    if (!ok) {
        std::fprintf(stderr, "quenlor-demo: could not write %s\n", dir.string().c_str());
        return 1;
    }
    return 0;
}
