// The batch record: the platform's SHA-256, the CSV form, the rows a batch records, and how the
// file is written.
#include <gtest/gtest.h>

#include "tests/core/DelegatingFileSystem.h"
#include "tests/core/Fakes.h"
#include "tools/demo/SwfMovie.h"
#include "tests/core/TempDir.h"
#include "quenlor/Converter.h"
#include "quenlor/Record.h"
#include "quenlor/Sha256.h"

namespace quenlor::test {
namespace {

using Bytes = std::vector<unsigned char>;

std::string Digest(const Bytes& bytes, size_t step) {
    auto digest = NativeSha256();
    for (size_t at = 0; at < bytes.size(); at += step)
        digest->Update(bytes.data() + at, std::min(step, bytes.size() - at));
    return digest->HexDigest();
}

TEST(Sha256Test, KnownAnswersWhateverTheChunks) {
    // FIPS 180-2 examples.
    const std::string abc = "abc";
    struct Case {
        const char* name;
        Bytes input;
        size_t step;
        const char* digest;
    } kCases[] = {
        {"empty", {}, 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", Bytes(abc.begin(), abc.end()), 3,
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"a million 'a' in odd chunks", Bytes(1000000, 'a'), 4099,
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(Digest(k.input, k.step), k.digest);
    }
}

TEST(RecordCsvTest, FieldsAreQuotedAsRfc4180Asks) {
    struct Case {
        const char* name;
        std::string field, csv;
    } kCases[] = {
        {"plain", "C:\\a\\b.exe", "C:\\a\\b.exe"},
        {"comma", "C:\\a,b.exe", "\"C:\\a,b.exe\""},
        {"quotes doubled", "say \"hi\"", "\"say \"\"hi\"\"\""},
        {"line break", "a\r\nb", "\"a\r\nb\""},
        {"Chinese as it is", "D:\\游戏\\小游戏.exe", "D:\\游戏\\小游戏.exe"},
        {"empty", "", ""},
    };
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(CsvField(k.field), k.csv);
    }

    RecordRow ok;
    ok.source = L"D:\\游戏\\a,b.exe";
    ok.succeeded = true;
    ok.version = 8;
    ok.kind = "CWS";
    ok.source_size = 800497;
    ok.movie_size = 489;
    ok.output = L"D:\\游戏\\a,b.swf";
    ok.sha256 = std::string(64, 'f');
    ok.facts.kind = "CWS";
    ok.facts.has_header = true;
    ok.facts.width_twips = 11001;
    ok.facts.height_twips = 8000;
    ok.facts.rate = 0x1DF8;
    ok.facts.frames = 120;
    ok.facts.as3 = true;
    ok.facts.problem = L"不完整：解压后8字节，应为497字节";
    ok.duplicate_of = L"D:\\c,d.swf";
    RecordRow failed;
    failed.source = L"D:\\x.exe";
    failed.reason = L"找不到源文件";
    EXPECT_EQ(RecordCsv({ok, failed}),
              "\xEF\xBB\xBF"
              "源文件,结果,原因,Flash版本,类型,源文件大小,影片大小,输出文件,SHA-256,"
              "宽度,高度,帧频,帧数,ActionScript 3,完整性,重复\r\n"
              "\"D:\\游戏\\a,b.exe\",成功,,8,CWS,800497,489,\"D:\\游戏\\a,b.swf\"," +
                  std::string(64, 'f') +
                  ",550.05,400,29.97,120,是,不完整：解压后8字节，应为497字节,\"D:\\c,d.swf\"\r\n"
                  "D:\\x.exe,失败,找不到源文件,,,,,,,,,,,,,\r\n");
}

TEST(RecordTest, EveryTickedRowIsRecordedWithTheHashOfTheMovieWritten) {
    TempDir dir;
    const Bytes later_movie = demo::Compress(demo::MakeMovie(8, 6, 0x102030));
    const Bytes later = demo::MakeLaterProjector(800000, later_movie);
    const Bytes flash5 = ProjectorBytes(90100, 90100 + 3000, 5);
    // Several copy chunks, each unlike the others: a chunk hashed twice, out of turn or after it
    // was overwritten gives another digest.
    Bytes long_ = ProjectorBytes(90100, 90100 + 3 * Converter::kCopyChunk + 4321, 5);
    for (size_t i = 90100 + 4; i < long_.size(); ++i)
        long_[i] = static_cast<unsigned char>(i * 7 ^ i >> 16);
    dir.Write(L"later.exe", later);
    dir.Write(L"long.exe", long_);
    dir.Write(L"flash5.exe", flash5);
    dir.Write(L"plain.exe", Bytes(100000, 'x'));
    dir.Write(L"unticked.exe", flash5);

    FakeList list;
    FakeStatus status;
    FakePump pump;
    FakePanel panel;
    for (const wchar_t* name :
         {L"later.exe", L"flash5.exe", L"long.exe", L"plain.exe", L"gone.exe"})
        list.AddChecked(dir.Path(name));
    list.AddChecked(dir.Path(L"unticked.exe"), false);
    Converter converter(NativeFileSystem(), list, status, pump, panel);
    converter.AnyVersion = true;
    converter.NewDigest = &NativeSha256;
    converter.Command7_Click();

    const Bytes flash5_movie(flash5.begin() + 90100, flash5.end());
    const Bytes long_movie(long_.begin() + 90100, long_.end());
    struct Expect {
        const wchar_t* name;
        bool ok;
        std::wstring reason;
        int version;
        std::string kind;
        std::optional<uint64_t> source_size, movie_size;
        const Bytes* movie;
    } kRows[] = {
        {L"later", true, L"", 8, "CWS", later.size(), later_movie.size(), &later_movie},
        {L"flash5", true, L"", 5, "FWS", flash5.size(), flash5_movie.size(), &flash5_movie},
        {L"long", true, L"", 5, "FWS", long_.size(), long_movie.size(), &long_movie},
        {L"plain", false, L"不是可识别的放映器", -1, "", 100000, std::nullopt, nullptr},
        {L"gone", false, L"找不到源文件", -1, "", std::nullopt, std::nullopt, nullptr},
    };
    ASSERT_EQ(converter.Record.size(), std::size(kRows)) << "the unticked row is not recorded";
    for (size_t i = 0; i < std::size(kRows); ++i) {
        const Expect& e = kRows[i];
        const RecordRow& row = converter.Record[i];
        SCOPED_TRACE(ToUtf8(e.name));
        EXPECT_EQ(row.source, dir.Path(std::wstring(e.name) + L".exe"));
        EXPECT_EQ(row.succeeded, e.ok);
        EXPECT_EQ(row.reason, e.reason);
        EXPECT_EQ(row.version, e.version);
        EXPECT_EQ(row.kind, e.kind);
        EXPECT_EQ(row.source_size, e.source_size);
        EXPECT_EQ(row.movie_size, e.movie_size);
        if (!e.movie) {
            EXPECT_EQ(row.output, L"");
            EXPECT_EQ(row.sha256, "");
            continue;
        }
        EXPECT_EQ(row.output, dir.Path(std::wstring(e.name) + L".swf"));
        EXPECT_EQ(dir.Read(std::wstring(e.name) + L".swf"), *e.movie);
        EXPECT_EQ(row.sha256, Digest(*e.movie, 1 << 16));
    }
}

// Digests of which the next `hashes_to_fail` give nothing, as a failing platform library would.
int hashes_to_fail = 0;
class FailingSha256 : public Sha256 {
  public:
    void Update(const void* data, size_t count) override { inner_->Update(data, count); }
    std::string HexDigest() override { return fails_ ? std::string() : inner_->HexDigest(); }

  private:
    std::unique_ptr<Sha256> inner_ = NativeSha256();
    bool fails_ = hashes_to_fail-- > 0;
};
std::unique_ptr<Sha256> NewFailingSha256() {
    return std::make_unique<FailingSha256>();
}

TEST(RecordTest, AConvertedRowHasItsHashOrSaysWhyNot) {
    struct Case {
        const char* name;
        int failing;  // digests
        bool hashed;
    } kCases[] = {
        {"the copy's hash fails: the movie is read back", 1, true},
        {"the read-back's fails too", 2, false},
    };
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        TempDir dir;
        const Bytes projector = ProjectorBytes(286700, 290000);
        dir.Write(L"a.exe", projector);
        FakeList list;
        FakeStatus status;
        FakePump pump;
        FakePanel panel;
        list.AddChecked(dir.Path(L"a.exe"));
        Converter converter(NativeFileSystem(), list, status, pump, panel);
        converter.NewDigest = &NewFailingSha256;
        hashes_to_fail = k.failing;
        converter.Command7_Click();
        ASSERT_EQ(converter.Record.size(), 1u);
        const RecordRow& row = converter.Record[0];
        EXPECT_TRUE(row.succeeded);
        EXPECT_EQ(row.sha256, k.hashed
                                  ? Digest(Bytes(projector.begin() + 286700, projector.end()), 1)
                                  : std::string());
        EXPECT_EQ(row.reason, k.hashed ? L"" : kNoHash);
    }
}

// Replacing fails once the new record is complete.
class NoReplace : public DelegatingFileSystem {
  public:
    using DelegatingFileSystem::DelegatingFileSystem;
    bool Rename(const std::wstring&, const std::wstring&) override { return false; }
};

TEST(RecordTest, WrittenInOneStepOrNotAtAll) {
    TempDir dir;
    RecordRow row;
    row.source = dir.Path(L"game.exe");
    row.succeeded = true;
    row.output = dir.Path(L"game.swf");
    dir.Write(L"game.exe", {1, 2, 3});
    dir.Write(L"game.swf", {4, 5});
    const std::string csv = RecordCsv({row});
    const Bytes earlier = {'o', 'l', 'd'};
    NoReplace no_replace(NativeFileSystem());
    struct Case {
        const char* name;
        FileSystem& fs;
        const wchar_t* path;
        RecordResult result;
        const wchar_t* unchanged;  // a file that must keep its bytes
    } kCases[] = {
        {"an earlier record is replaced", NativeFileSystem(), L"record.csv", RecordResult::Written,
         L"game.exe"},
        {"a folder that is not there", NativeFileSystem(), L"missing/record.csv",
         RecordResult::Failed, L"record.csv"},
        {"the replacement refused", no_replace, L"record.csv", RecordResult::Failed, L"record.csv"},
        {"a source of the batch", NativeFileSystem(), L"game.exe", RecordResult::WouldReplaceFile,
         L"game.exe"},
        {"a movie of the batch", NativeFileSystem(), L"game.swf", RecordResult::WouldReplaceFile,
         L"game.swf"},
    };
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        dir.Write(L"record.csv", earlier);
        const Bytes before = dir.Read(k.unchanged);
        EXPECT_EQ(WriteRecord(k.fs, dir.Path(k.path), {row}), k.result);
        EXPECT_EQ(dir.Read(k.unchanged), before);
        if (k.result == RecordResult::Written) {
            const Bytes written = dir.Read(L"record.csv");
            EXPECT_EQ(std::string(written.begin(), written.end()), csv);
        }
        // No temporary file is left behind.
        EXPECT_EQ(dir.Names(),
                  (std::vector<std::wstring>{L"game.exe", L"game.swf", L"record.csv"}));
    }
}

}  // namespace
}  // namespace quenlor::test
