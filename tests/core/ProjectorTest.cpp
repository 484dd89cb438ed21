#include <gtest/gtest.h>

#include "tests/core/Fakes.h"
#include "quenlor/Projector.h"

namespace quenlor::test {
namespace {

std::optional<int64_t> Scan(MemoryFile& file, const StubTable& table) {
    FakePump pump;
    PumpPacer pacer(pump);
    return FindMovieStart(file, table, pacer);
}

std::optional<int64_t> ScanBytes(std::vector<unsigned char> bytes,
                                 const StubTable& table = kSearchTable) {
    MemoryFile file(std::move(bytes));
    return Scan(file, table);
}

TEST(FindMovieStart, WindowEdgesAroundEachStubLength) {
    for (int64_t stub : {286700, 290800, 376800}) {
        SCOPED_TRACE(stub);
        EXPECT_EQ(ScanBytes(ProjectorBytes(stub, stub + 5000)), stub);          // exact stub
        EXPECT_EQ(ScanBytes(ProjectorBytes(stub - 1, stub + 5000)), stub - 1);  // first candidate
        EXPECT_EQ(ScanBytes(ProjectorBytes(stub + 199, stub + 5000)), stub + 199);  // last one
        EXPECT_EQ(ScanBytes(ProjectorBytes(stub + 200, stub + 5000)), std::nullopt);
        EXPECT_EQ(ScanBytes(ProjectorBytes(stub - 2, stub + 5000)), std::nullopt);
    }
}

TEST(FindMovieStart, LowerOffsetWinsAcrossWindows) {
    auto bytes = ProjectorBytes(376850, 400000);
    bytes[290900] = 'F', bytes[290901] = 'W', bytes[290902] = 'S';
    EXPECT_EQ(ScanBytes(bytes), 290900);
    // Inside one window the first candidate in ascending order wins too.
    bytes[290810] = 'F', bytes[290811] = 'W', bytes[290812] = 'S';
    EXPECT_EQ(ScanBytes(bytes), 290810);
}

TEST(FindMovieStart, DecoysOutsideTheWindowsAreIgnored) {
    std::vector<unsigned char> bytes(500000, 0);
    for (size_t at : {0u, 100u, 286698u, 286900u, 290798u, 291000u, 376999u + 1, 450000u}) {
        bytes[at] = 'F', bytes[at + 1] = 'W', bytes[at + 2] = 'S';
    }
    EXPECT_EQ(ScanBytes(bytes), std::nullopt);
}

TEST(FindMovieStart, OnlyTheUncompressedSignatureCounts) {
    auto bytes = ProjectorBytes(286700, 300000);
    bytes[286700] = 'C';
    EXPECT_EQ(ScanBytes(bytes), std::nullopt);
    bytes[286700] = 'f';  // case matters
    EXPECT_EQ(ScanBytes(bytes), std::nullopt);
}

TEST(FindMovieStart, NeedsTwentyOneBytesFromTheCandidate) {
    EXPECT_EQ(ScanBytes(ProjectorBytes(286699, 286719)), std::nullopt);  // 20 bytes left
    EXPECT_EQ(ScanBytes(ProjectorBytes(286699, 286720)), 286699);        // 21 bytes left
    // A file too short for a window ends the whole scan: later windows are not tried either.
    EXPECT_EQ(ScanBytes(ProjectorBytes(286800, 286810)), std::nullopt);
}

TEST(FindMovieStart, FilesNotLongerThanTheBaseAreNoMatch) {
    EXPECT_EQ(ScanBytes({}), std::nullopt);
    EXPECT_EQ(ScanBytes(std::vector<unsigned char>(286700, 'F')), std::nullopt);
    EXPECT_EQ(ScanBytes(ProjectorBytes(90100, 90100), kExtractionTable), std::nullopt);
}

TEST(FindMovieStart, TablesDifferInTheirLowWindows) {
    for (int64_t stub : {90100, 94200, 102450}) {
        SCOPED_TRACE(stub);
        const auto bytes = ProjectorBytes(stub, 400000);
        EXPECT_EQ(ScanBytes(bytes, kSearchTable), std::nullopt);
        EXPECT_EQ(ScanBytes(bytes, kExtractionTable), stub);
    }
    EXPECT_EQ(ScanBytes(ProjectorBytes(286750, 400000), kExtractionTable), 286750);
}

TEST(FindMovieStart, ReadsOnlyTheReachableRegionInOneRead) {
    // A sparse 5 GiB file: the scan must not read (or allocate) past the last window.
    const uint64_t huge = 5ull << 30;
    MemoryFile file(ProjectorBytes(376900, 377100), huge);
    EXPECT_EQ(Scan(file, kSearchTable), 376900);
    ASSERT_EQ(file.reads.size(), 1u);
    EXPECT_EQ(file.reads[0].offset, 286699u);
    EXPECT_EQ(file.reads[0].offset + file.reads[0].count, 376800u + 199 + 3);

    MemoryFile small(ProjectorBytes(286750, 287000));
    EXPECT_EQ(Scan(small, kSearchTable), 286750);
    ASSERT_EQ(small.reads.size(), 1u);
    EXPECT_EQ(small.reads[0].offset, 286699u);
    EXPECT_EQ(small.reads[0].count, 287000u - 286699);

    MemoryFile extraction(ProjectorBytes(90100, 500000));
    EXPECT_EQ(Scan(extraction, kExtractionTable), 90100);
    ASSERT_EQ(extraction.reads.size(), 1u);
    EXPECT_EQ(extraction.reads[0].offset, 90099u);
}

TEST(FindMovieStart, UnreadableOrShrinkingFilesAreNoMatch) {
    MemoryFile failing(ProjectorBytes(286700, 300000));
    failing.failReads = true;
    EXPECT_EQ(Scan(failing, kSearchTable), std::nullopt);

    MemoryFile shrunk(ProjectorBytes(290900, 300000));
    shrunk.readableUpTo = 290000;  // stated size 300000, but the bytes end earlier
    EXPECT_EQ(Scan(shrunk, kSearchTable), std::nullopt);
}

TEST(FindMovieStart, LetsMessagesRunBeforeReading) {
    MemoryFile file(ProjectorBytes(286700, 300000));
    FakePump pump;
    pump.onPump = [&] { EXPECT_TRUE(file.reads.empty()) << "pumped only after reading"; };
    PumpPacer pacer(pump, std::chrono::hours(1));
    EXPECT_EQ(FindMovieStart(file, kSearchTable, pacer), 286700);
    EXPECT_EQ(pump.pumps, 1);
}

TEST(FindMovieStart, CandidateStepsAreCoalescedButHappen) {
    // No signature anywhere: all 603 candidates are visited. With a zero interval every 64th
    // candidate step reaches the queue.
    MemoryFile file(std::vector<unsigned char>(400000, 0));
    FakePump pump;
    PumpPacer pacer(pump, std::chrono::nanoseconds(0));
    EXPECT_EQ(FindMovieStart(file, kSearchTable, pacer), std::nullopt);
    EXPECT_EQ(pump.pumps, 1 + 603 / 64);
}

TEST(PathHelpers, FileTitle) {
    EXPECT_EQ(GetFileTitle(L"C:\\games\\intro.exe"), L"intro");
    EXPECT_EQ(GetFileTitle(L"C:\\a\\b.c.exe"), L"b.c");
    EXPECT_EQ(GetFileTitle(L"C:\\a\\.exe"), L"");
    EXPECT_EQ(GetFileTitle(L"C:\\x\\My Movie.exe"), L"My Movie");
    EXPECT_EQ(GetFileTitle(L"intro.exe"), L"intro.exe");
    // No "." after the last separator: the whole name.
    EXPECT_EQ(GetFileTitle(L"C:\\dir.v2\\movie"), L"movie");
    EXPECT_EQ(GetFileTitle(L"C:\\a\\movie"), L"movie");
    EXPECT_EQ(GetFileTitle(L"/home/u/intro.exe", L'/'), L"intro");
    EXPECT_EQ(GetFileTitle(L"/home/u.d/intro", L'/'), L"intro");
}

TEST(PathHelpers, DirectoryPart) {
    EXPECT_EQ(GetDirectoryPart(L"C:\\games\\intro.exe"), L"C:\\games\\");
    EXPECT_EQ(GetDirectoryPart(L"C:\\intro.exe"), L"C:\\");
    EXPECT_EQ(GetDirectoryPart(L"intro.exe"), L"intro.exe");
    EXPECT_EQ(GetDirectoryPart(L"C:\\swf\\\\a.exe"), L"C:\\swf\\\\");
    EXPECT_EQ(GetDirectoryPart(L"/srv/swf/a.exe", L'/'), L"/srv/swf/");
}

}  // namespace
}  // namespace quenlor::test
