#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "tests/core/DelegatingFileSystem.h"
#include "tests/core/Fakes.h"
#include "tools/demo/SwfMovie.h"
#include "tests/core/TempDir.h"
#include "quenlor/Converter.h"
#include "quenlor/Search.h"
#include "quenlor/Trailer.h"
#include "quenlor/ElfProjector.h"

namespace quenlor::test {
namespace {

using Bytes = std::vector<unsigned char>;

void Put32(Bytes& out, uint64_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
Bytes Header(const char* kind, unsigned version, uint64_t declared) {
    Bytes h(kind, kind + 3);
    h.push_back(static_cast<unsigned char>(version));
    Put32(h, declared);
    return h;
}
Bytes Cws(unsigned version, uint64_t declared, unsigned char cmf, unsigned char flg) {
    Bytes h = Header("CWS", version, declared);
    h.push_back(cmf);
    h.push_back(flg);
    return h;
}
Bytes Zws(unsigned version, uint64_t declared, uint64_t compressed, unsigned char props) {
    Bytes h = Header("ZWS", version, declared);
    Put32(h, compressed);
    h.push_back(props);
    return h;
}
Bytes Trailer(uint64_t length, unsigned char last_marker_byte = 0xFA) {
    Bytes t = {0x56, 0x34, 0x12, last_marker_byte};
    Put32(t, length);
    return t;
}

// A file of `size` bytes, zero but for the pieces placed in it. Records every read and whether one
// reached outside the file.
class PlacedFile : public ReadableFile {
  public:
    explicit PlacedFile(uint64_t size) : size_(size) {}
    void Place(uint64_t at, const Bytes& bytes) { pieces_[at] = bytes; }

    uint64_t bytesRead = 0;
    bool readOutside = false;

    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* buffer, size_t count, size_t& got) override {
        if (offset > size_ || count > size_ - offset) readOutside = true;
        got = static_cast<size_t>(offset >= size_ ? 0 : std::min<uint64_t>(count, size_ - offset));
        auto* out = static_cast<unsigned char*>(buffer);
        std::memset(out, 0, got);
        for (const auto& [at, bytes] : pieces_) {
            for (size_t i = 0; i < bytes.size(); ++i) {
                if (at + i >= offset && at + i < offset + got) out[at + i - offset] = bytes[i];
            }
        }
        bytesRead += got;
        return true;
    }

  private:
    uint64_t size_;
    std::map<uint64_t, Bytes> pieces_;
};

// Layout: a zero stub of `stub` bytes, `header` at its end, the movie body up to `movie` bytes in
// all, `trailer`, then `extra` zero bytes.
struct Case {
    const char* name;
    uint64_t stub;
    Bytes header;
    uint64_t movie;
    Bytes trailer;
    uint64_t extra;
    bool found;  // at offset `stub`, `movie` bytes long
};

const uint64_t kFiveGiB = 5ull << 30;

const Case kCases[] = {
    {"FWS whose length is the trailer's", 900000, Header("FWS", 6, 5000), 5000, Trailer(5000), 0,
     true},
    {"CWS, default compression", 800000, Cws(8, 90000, 0x78, 0x9C), 4000, Trailer(4000), 0, true},
    {"CWS, best compression", 800000, Cws(9, 90000, 0x78, 0xDA), 4000, Trailer(4000), 0, true},
    {"CWS, small window", 800000, Cws(10, 8, 0x08, 0x1D), 4000, Trailer(4000), 0, true},
    {"ZWS, usual properties", 1200000, Zws(13, 70000, 4000 - 17, 0x5D), 4000, Trailer(4000), 0,
     true},
    {"ZWS, highest properties byte", 10, Zws(13, 8, 100 - 17, 224), 100, Trailer(100), 0, true},
    {"version 1", 10, Header("FWS", 1, 100), 100, Trailer(100), 0, true},
    {"version 50", 10, Header("FWS", 50, 100), 100, Trailer(100), 0, true},
    {"movie at offset 0, no stub", 0, Header("FWS", 4, 100), 100, Trailer(100), 0, true},
    {"shortest movie: 9 bytes", 3, Header("FWS", 4, 9), 9, Trailer(9), 0, true},
    {"5 GiB sparse file", kFiveGiB, Cws(8, 1000, 0x78, 0x9C), 700, Trailer(700), 0, true},

    {"version 0", 10, Header("FWS", 0, 100), 100, Trailer(100), 0, false},
    {"version 51", 10, Header("FWS", 51, 100), 100, Trailer(100), 0, false},
    {"FWS length disagrees", 10, Header("FWS", 6, 101), 100, Trailer(100), 0, false},
    {"CWS declared length below 8", 10, Cws(8, 7, 0x78, 0x9C), 100, Trailer(100), 0, false},
    {"CWS zlib check bits wrong", 10, Cws(8, 500, 0x78, 0x9D), 100, Trailer(100), 0, false},
    {"CWS zlib method not deflate", 10, Cws(8, 500, 0x77, 0x09), 100, Trailer(100), 0, false},
    {"CWS zlib window too large", 10, Cws(8, 500, 0x88, 0x1C), 100, Trailer(100), 0, false},
    {"CWS zlib preset dictionary", 10, Cws(8, 500, 0x78, 0xBB), 100, Trailer(100), 0, false},
    {"CWS of 9 bytes has no zlib header", 10, Header("CWS", 8, 500), 9, Trailer(9), 0, false},
    {"ZWS compressed length disagrees", 10, Zws(13, 500, 100 - 16, 0x5D), 100, Trailer(100), 0,
     false},
    {"ZWS properties byte 225", 10, Zws(13, 500, 100 - 17, 225), 100, Trailer(100), 0, false},
    {"ZWS declared length below 8", 10, Zws(13, 7, 100 - 17, 0x5D), 100, Trailer(100), 0, false},
    {"header is no movie", 10, Header("MZP", 6, 100), 100, Trailer(100), 0, false},
    {"signature case matters", 10, Header("fws", 6, 100), 100, Trailer(100), 0, false},
    {"marker off by one bit", 10, Header("FWS", 6, 100), 100, Trailer(100, 0xFB), 0, false},
    {"no trailer", 10, Header("FWS", 6, 100), 100, {}, 0, false},
    {"bytes behind the trailer", 10, Header("FWS", 6, 100), 100, Trailer(100), 1, false},
    {"length points before the start", 10, Header("FWS", 6, 100), 100, Trailer(111), 0, false},
    {"length of 2^32-1", 10, Header("FWS", 6, 100), 100, Trailer(0xFFFFFFFF), 0, false},
    {"length 8 points into the trailer", 10, Header("FWS", 6, 8), 8, Trailer(8), 0, false},
    {"length 0", 10, {}, 0, Trailer(0), 0, false},
    {"8-byte file, marker and length only", 0, {}, 0, Trailer(9), 0, false},
    {"zero-length file", 0, {}, 0, {}, 0, false},
    // The trailer was written for a longer movie: the length reaches back into the stub.
    {"movie truncated, trailer kept", 5000, Header("FWS", 6, 1000), 900, Trailer(1000), 0, false},
    // The file was cut inside its trailer.
    {"trailer cut short", 10, Header("FWS", 6, 100), 100, {0x56, 0x34, 0x12, 0xFA, 100}, 0, false},
};

TEST(FindTrailerMovie, AcceptsOnlyAConsistentTrailerAndHeader) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const uint64_t size = c.stub + c.movie + c.trailer.size() + c.extra;
        PlacedFile file(size);
        file.Place(c.stub, c.header);
        file.Place(c.stub + c.movie, c.trailer);

        const auto found = FindTrailerMovie(file);
        EXPECT_EQ(found.has_value(), c.found);
        if (found && c.found) {
            EXPECT_EQ(found->start, c.stub);
            EXPECT_EQ(found->length, c.movie);
        }
        EXPECT_FALSE(file.readOutside);
        EXPECT_LE(file.bytesRead, 8u + 13u);  // the trailer and one header, whatever the size
    }
}

TEST(FindTrailerMovie, AMarkerByChanceInNoiseIsNoMovie) {
    // Noise ending in the marker, with every length the file allows: no movie header behind any.
    Bytes noise(4000);
    uint32_t x = 12345;
    for (auto& b : noise) b = static_cast<unsigned char>((x = x * 1103515245 + 12345) >> 16);
    int found = 0;
    for (uint32_t length = 9; length <= noise.size(); ++length) {
        Bytes file = noise;
        const Bytes t = Trailer(length);
        file.insert(file.end(), t.begin(), t.end());
        MemoryFile memory(file);
        found += FindTrailerMovie(memory).has_value();
    }
    EXPECT_EQ(found, 0);
}

// The rows a search of `dir` lists, in order.
std::vector<std::wstring> Searched(const TempDir& dir, bool any_version,
                                   FileSystem& fs = NativeFileSystem()) {
    FakeList list;
    FakeStatus status;
    FakePump pump;
    Search search(fs, list, status, pump);
    search.AnyVersion = any_version;
    search.StartSearch(dir.Dir());
    std::vector<std::wstring> rows;
    for (const auto& r : list.rows) rows.push_back(r.cells[0]);
    return rows;
}

// With every version wanted, a search lists a later player's projector in the same pass.
TEST(AnyVersionSearch, ListsTrailerProjectorsOnlyWhenAsked) {
    TempDir dir;
    const Bytes movie = demo::Compress(demo::MakeMovie(8, 4, 0x102030));
    dir.Write(L"later.exe", demo::MakeLaterProjector(800000, movie));
    dir.Write(L"old.exe", ProjectorBytes(286700, 290000));
    Bytes chance(300000, 1);
    const Bytes t = Trailer(1000);
    chance.insert(chance.end(), t.begin(), t.end());
    dir.Write(L"chance.exe", chance);

    for (bool any : {false, true}) {
        SCOPED_TRACE(any);
        const std::vector<std::wstring> rows = Searched(dir, any);
        std::vector<std::wstring> expected;
        if (any) expected.push_back(dir.Path(L"later.exe"));
        expected.push_back(dir.Path(L"old.exe"));
        EXPECT_EQ(rows, expected);
    }
}

// Delegates to the real file system; a file opened for reading can be cut short as its copy begins
// (the first read of more than a header at `cutAt.first`), ending then at `cutAt.second`.
class CuttingFileSystem : public DelegatingFileSystem {
  public:
    using DelegatingFileSystem::DelegatingFileSystem;
    std::pair<uint64_t, uint64_t> cutAt{UINT64_MAX, 0};

    std::unique_ptr<ReadableFile> OpenRead(const std::wstring& p) override {
        auto inner = real_.OpenRead(p);
        if (!inner) return nullptr;
        return std::make_unique<Cut>(std::move(inner), cutAt);
    }

  private:
    class Cut : public ReadableFile {
      public:
        Cut(std::unique_ptr<ReadableFile> inner, std::pair<uint64_t, uint64_t> at)
            : inner_(std::move(inner)), at_(at) {}
        uint64_t Size() const override { return inner_->Size(); }
        bool ReadAt(uint64_t offset, void* buffer, size_t count, size_t& got) override {
            cut_ = cut_ || (offset == at_.first && count > kMovieHeaderBytes);
            if (cut_) {
                count = static_cast<size_t>(
                    offset >= at_.second ? 0 : std::min<uint64_t>(count, at_.second - offset));
            }
            return inner_->ReadAt(offset, buffer, count, got);
        }

      private:
        std::unique_ptr<ReadableFile> inner_;
        std::pair<uint64_t, uint64_t> at_;
        bool cut_ = false;
    };
};

class AnyVersionConvert : public ::testing::Test {
  protected:
    AnyVersionConvert() : fs_(NativeFileSystem()), converter_(fs_, list_, status_, pump_, panel_) {
        converter_.AnyVersion = true;
        panel_.deleteSource = true;
    }
    std::wstring Cell(Column c) const { return list_.Cell(1, c); }

    TempDir dir_;
    CuttingFileSystem fs_;
    FakeList list_;
    FakeStatus status_;
    FakePump pump_;
    FakePanel panel_;
    Converter converter_;
};

TEST_F(AnyVersionConvert, EachFileIsConvertedExactlyOrFails) {
    const Bytes cws = demo::Compress(demo::MakeMovie(8, 36, 0x20A0A0));
    const Bytes later = demo::MakeLaterProjector(800000, cws);
    Bytes both = ProjectorBytes(286700, 290000, 5);  // found in a stub window, trailer too
    const Bytes both_trailer = Trailer(290000 - 286700);
    both.insert(both.end(), both_trailer.begin(), both_trailer.end());
    Bytes truncated = demo::MakeLaterProjector(800000, cws);  // trailer kept, movie cut
    truncated.erase(truncated.end() - 8 - 100, truncated.end() - 8);

    struct Convert {
        const char* name;
        Bytes source;
        bool anyVersion;
        Bytes movie;  // empty: the row fails
    };
    const Convert cases[] = {
        {"trailer only: exactly the movie", later, true, cws},
        {"trailer only, without the option", later, false, {}},
        {"both checks: from the stub window to the end, as without the option", both, true,
         Bytes(both.begin() + 286700, both.end())},
        {"movie truncated, trailer kept", truncated, true, {}},
    };
    for (const Convert& c : cases) {
        SCOPED_TRACE(c.name);
        dir_.Write(L"p.exe", c.source);
        list_.rows.clear();
        list_.AddChecked(dir_.Path(L"p.exe"));
        converter_.AnyVersion = c.anyVersion;
        converter_.Command7_Click();
        if (c.movie.empty()) {
            EXPECT_EQ(Cell(Column::Result), L"失败");
            EXPECT_EQ(dir_.Names(), std::vector<std::wstring>{L"p.exe"});
            EXPECT_EQ(dir_.Read(L"p.exe"), c.source);
        } else {
            EXPECT_EQ(Cell(Column::Result), L"成功");
            EXPECT_EQ(Cell(Column::Version), L"Ver: " + std::to_wstring(c.movie[3]));
            EXPECT_EQ(Cell(Column::Size), L"<" + std::to_wstring(c.movie.size()) + L">");
            EXPECT_EQ(dir_.Names(), std::vector<std::wstring>{L"p.swf"});
            EXPECT_EQ(dir_.Read(L"p.swf"), c.movie);
            fs::remove(dir_.path() / "p.swf");
        }
    }
}

// The choice changed while a batch runs applies to the next batch: row 2, a later player's
// projector, is converted as the batch started.
TEST_F(AnyVersionConvert, TheChoiceIsTakenOnceWhenTheBatchStarts) {
    const Bytes cws = demo::Compress(demo::MakeMovie(8, 36, 0x20A0A0));
    panel_.deleteSource = false;
    for (bool atStart : {true, false}) {
        SCOPED_TRACE(atStart ? "ticked at the start" : "unticked at the start");
        list_.rows.clear();
        dir_.Write(L"r1.exe", ProjectorBytes(286700, 287000));
        dir_.Write(L"r2.exe", demo::MakeLaterProjector(800000, cws));
        list_.AddChecked(dir_.Path(L"r1.exe"));
        list_.AddChecked(dir_.Path(L"r2.exe"));
        converter_.AnyVersion = atStart;
        pump_.onPump = [&] { converter_.AnyVersion = !atStart; };
        converter_.Command7_Click();
        pump_.onPump = nullptr;
        EXPECT_EQ(list_.Cell(2, Column::Result), atStart ? L"成功" : L"失败");
        EXPECT_EQ(dir_.Exists(L"r2.swf"), atStart);
        fs::remove(dir_.path() / "r1.swf");
        fs::remove(dir_.path() / "r2.swf");
    }
}

TEST_F(AnyVersionConvert, AFileCutDuringTheCopyFailsAndStays) {
    const Bytes movie = Header("FWS", 7, 3 * Converter::kCopyChunk);
    Bytes source(500000, 0);
    source.insert(source.end(), movie.begin(), movie.end());
    source.resize(500000 + 3 * Converter::kCopyChunk, 0x42);
    const Bytes t = Trailer(3 * Converter::kCopyChunk);
    source.insert(source.end(), t.begin(), t.end());
    dir_.Write(L"p.exe", source);
    list_.AddChecked(dir_.Path(L"p.exe"));

    fs_.cutAt = {500000, 500000 + Converter::kCopyChunk + 10};
    converter_.Command7_Click();
    EXPECT_EQ(Cell(Column::Result), L"失败");
    EXPECT_EQ(dir_.Names(), std::vector<std::wstring>{L"p.exe"});  // no partial movie, source kept
}

TEST_F(AnyVersionConvert, FiveGiBSparseProjectorCopiesOnlyItsMovie) {
    const Bytes movie = demo::Compress(demo::MakeMovie(9, 12, 0x808080));
    const fs::path path = dir_.path() / "huge.exe";
    { std::ofstream out(path, std::ios::binary); }
    fs::resize_file(path, kFiveGiB);  // sparse: nothing is written in front of the movie
    {
        std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
        out.seekp(static_cast<std::streamoff>(kFiveGiB));
        out.write(reinterpret_cast<const char*>(movie.data()),
                  static_cast<std::streamsize>(movie.size()));
        const Bytes t = Trailer(movie.size());
        out.write(reinterpret_cast<const char*>(t.data()), static_cast<std::streamsize>(t.size()));
        ASSERT_TRUE(out.good());
    }
    list_.AddChecked(dir_.Path(L"huge.exe"));
    converter_.Command7_Click();
    EXPECT_EQ(Cell(Column::Result), L"成功");
    EXPECT_EQ(dir_.Read(L"huge.swf"), movie);
    EXPECT_FALSE(dir_.Exists(L"huge.exe"));
}

// Linux projectors: an ELF program with a movie behind its image. Little-endian fields at `at`.
void Put(Bytes& b, size_t at, uint64_t v, int width) {
    for (int i = 0; i < width; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}
// An ELF program of our own: header, one segment, `body` bytes, and a section table of three
// (null, the body, and a .bss that occupies no file space but reaches far past the file).
Bytes MadeElf(bool wide, size_t body) {
    const size_t eh = wide ? 64 : 52, ph = wide ? 56 : 32, sh = wide ? 64 : 40, w = wide ? 8 : 4;
    const size_t shoff = eh + ph + body;
    Bytes b(shoff + 3 * sh, 0x90);
    const unsigned char ident[] = {0x7F, 'E', 'L', 'F', static_cast<unsigned char>(wide ? 2 : 1),
                                   1,    1};
    std::copy(std::begin(ident), std::end(ident), b.begin());
    std::fill(b.begin() + 7, b.begin() + static_cast<long>(eh + ph), 0);
    Put(b, 18, wide ? 62 : 3, 2);
    Put(b, wide ? 32 : 28, eh, w);     // e_phoff
    Put(b, wide ? 40 : 32, shoff, w);  // e_shoff
    Put(b, wide ? 54 : 42, ph, 2), Put(b, wide ? 56 : 44, 1, 2);
    Put(b, wide ? 58 : 46, sh, 2), Put(b, wide ? 60 : 48, 3, 2);
    Put(b, eh + (wide ? 32 : 16), eh + ph + body, w);  // p_filesz from offset 0
    std::fill(b.begin() + static_cast<long>(shoff), b.end(), 0);
    for (int i = 1; i < 3; ++i) {
        const size_t e = shoff + i * sh;
        Put(b, e + 4, i == 1 ? 1 : 8, 4);  // PROGBITS, NOBITS
        Put(b, e + (wide ? 24 : 16), i == 1 ? eh + ph : shoff, w);
        Put(b, e + (wide ? 32 : 20), i == 1 ? body : 1 << 20, w);
    }
    return b;
}
// A real program of the system when there is one, else one of our own.
Bytes Program(const char* path, bool wide) {
    std::ifstream in(path, std::ios::binary);
    Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return b.size() > 64 && b[0] == 0x7F && b[4] == (wide ? 2 : 1) ? b : MadeElf(wide, 3000);
}
#ifdef _WIN32
const char* kTrue = "Z:\\bin\\true";
const char* kLoader32 = "Z:\\usr\\lib32\\ld-linux.so.2";
#else
const char* kTrue = "/bin/true";
const char* kLoader32 = "/usr/lib32/ld-linux.so.2";
#endif
// The program, the length field (`field` bytes, the movie's length + `off`), the marker, the movie.
Bytes Append(Bytes b, int field, const Bytes& movie, int64_t off = 0, unsigned char first = 0x56) {
    const size_t at = b.size();
    b.resize(at + 2 * field, 0xFF);
    Put(b, at, static_cast<uint64_t>(static_cast<int64_t>(movie.size()) + off), field);
    const unsigned char marker[] = {first, 0x34, 0x12, 0xFA};
    std::copy(std::begin(marker), std::end(marker), b.begin() + static_cast<long>(at) + field);
    b.insert(b.end(), movie.begin(), movie.end());
    return b;
}

TEST(OtherSystems, FoundListedAndConvertedExactly) {
    const Bytes fws = demo::MakeMovie(6, 8, 0x3050A0);
    const Bytes cws = demo::Compress(demo::MakeMovie(9, 8, 0xA05030));
    const Bytes x64 = Program(kTrue, true), x86 = Program(kLoader32, false);
    Bytes cut = Append(x64, 8, cws);
    cut.resize(cut.size() - 10);
    struct Made {
        const char* name;  // without extension: a Linux projector's; NAME.app: a folder
        Bytes file;        // the file, or the bundle's movie.swf
        Bytes movie;       // empty: not a projector
        const wchar_t* reason;
    };
    const Made cases[] = {
        {"x64-cws", Append(x64, 8, cws), cws, L""},
        {"x86-fws", Append(x86, 4, fws), fws, L""},
        {"made-x86-bss", Append(MadeElf(false, 500), 4, cws), cws, L""},
        {"made-x64", Append(MadeElf(true, 500), 8, fws), fws, L""},
        {"x64-in-x86-layout", Append(x64, 4, cws), {}, L"ELF文件末尾没有影片"},
        {"plain-program", x64, {}, L"ELF文件末尾没有影片"},
        {"marker-wrong", Append(x64, 8, cws, 0, 0x57), {}, L"ELF文件末尾没有影片"},
        {"length-one-more", Append(x64, 8, cws, 1), {}, L"长度"},
        {"length-one-less", Append(x86, 4, fws, -1), {}, L"长度"},
        {"cut-in-movie", cut, {}, L"长度"},
        {"cut-in-image", Bytes(x64.begin(), x64.begin() + 200), {}, L"损坏"},
        {"header-no-movie", Append(x64, 8, Header("MZP", 6, 100)), {}, L"不是影片"},
        {"Game.app", fws, fws, L""},
        {"Text.app", Bytes(40, 'a'), {}, L"movie.swf 不是影片"},
        {"Empty.app", {}, {}, L"没有 Contents/Resources/movie.swf"},
    };
    auto wide = [](const char* n) { return std::wstring(n, n + std::strlen(n)); };
    TempDir dir;
    std::vector<std::wstring> listed;
    for (const Made& c : cases) {
        const std::wstring name = wide(c.name);
        const bool app = name.size() > 4 && name.substr(name.size() - 4) == L".app";
        if (!app) dir.Write(name, c.file);
        if (app) dir.Write(name + L"/Contents/Info.plist", Bytes(10, '<'));
        if (app && !c.file.empty()) dir.Write(name + L"/Contents/Resources/movie.swf", c.file);
        if (!c.movie.empty()) listed.push_back(dir.Path(name));
    }
    // A projector inside a bundle is part of it: the walk does not enter .app folders.
    dir.Write(L"Game.app/Contents/MacOS/player", Append(x64, 8, fws));
    std::sort(listed.begin(), listed.end());

    for (bool any : {false, true}) {
        std::vector<std::wstring> rows = Searched(dir, any);
        // Files looked at on several threads are listed as one thread lists them.
        DelegatingFileSystem one_thread(NativeFileSystem());
        EXPECT_EQ(rows, Searched(dir, any, one_thread));
        std::sort(rows.begin(), rows.end());
        EXPECT_EQ(rows, any ? listed : std::vector<std::wstring>{});
    }

    FakeList list;
    FakeStatus status;
    FakePump pump;
    FakePanel panel;
    panel.autoSave = false;
    panel.saveDir = FromPath(dir.path() / "out");
    fs::create_directories(dir.path() / "out");
    Converter converter(NativeFileSystem(), list, status, pump, panel);
    converter.AnyVersion = true;
    for (const Made& c : cases) list.AddChecked(dir.Path(wide(c.name)));
    converter.Command7_Click();
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Made& c = cases[i];
        SCOPED_TRACE(c.name);
        const int row = static_cast<int>(i) + 1;
        std::string title = c.name;
        if (title.size() > 4 && title.compare(title.size() - 4, 4, ".app") == 0)
            title.resize(title.size() - 4);
        const std::wstring out = L"out/" + std::wstring(title.begin(), title.end()) + L".swf";
        EXPECT_EQ(list.Cell(row, Column::Result), c.movie.empty() ? L"失败" : L"成功");
        EXPECT_EQ(dir.Exists(out), !c.movie.empty());
        if (!c.movie.empty()) {
            EXPECT_EQ(dir.Read(out), c.movie);
        }
        EXPECT_NE(list.rows[i].reason.find(c.reason), std::wstring::npos) << list.rows[i].reason;
    }
}

// 删除原文件: a Linux projector goes like any file, an .app folder only whole and only once its
// movie is written; what could not be removed is named.
class RefusingFileSystem : public DelegatingFileSystem {
  public:
    using DelegatingFileSystem::DelegatingFileSystem;
    std::wstring refuse;
    bool Remove(const std::wstring& p) override { return p != refuse && real_.Remove(p); }
};

TEST(OtherSystems, DeletingTheSourceTakesTheWholeBundle) {
    const Bytes fws = demo::MakeMovie(6, 8, 0x3050A0);
    TempDir dir;
    dir.Write(L"A.app/Contents/Resources/movie.swf", fws);
    dir.Write(L"A.app/Contents/MacOS/player", Bytes(100, 1));
    dir.Write(L"linux", Append(MadeElf(true, 100), 8, fws));
    RefusingFileSystem fs(NativeFileSystem());
    const wchar_t s = fs.Separator();
    fs.refuse = dir.Path(L"A.app") + s + L"Contents" + s + L"MacOS" + s + L"player";
    FakeList list;
    FakeStatus status;
    FakePump pump;
    FakePanel panel;
    panel.deleteSource = true;
    Converter converter(fs, list, status, pump, panel);
    converter.AnyVersion = true;
    list.AddChecked(dir.Path(L"A.app"));
    list.AddChecked(dir.Path(L"linux"));
    converter.Command7_Click();
    EXPECT_EQ(dir.Read(L"A.swf"), fws);
    EXPECT_EQ(dir.Read(L"linux.swf"), fws);
    EXPECT_FALSE(dir.Exists(L"linux"));
    // All but the refused part is gone; that part is named, in the row's tip too.
    EXPECT_FALSE(dir.Exists(L"A.app/Contents/Resources"));
    EXPECT_TRUE(dir.Exists(L"A.app/Contents/MacOS/player"));
    EXPECT_EQ(panel.kept, std::vector<std::wstring>{fs.refuse});
    EXPECT_NE(list.rows[0].reason.find(fs.refuse), std::wstring::npos);
}

}  // namespace
}  // namespace quenlor::test
