// The demo and benchmark movies must be well-formed: a reader that walks the header and the tag
// records must land exactly on the End tag at the stated length.
#include <gtest/gtest.h>

#include "tools/demo/SwfMovie.h"

namespace quenlor::demo {
namespace {

struct Parsed {
    uint32_t length = 0;
    int frames = 0;
    int showFrames = 0;
    bool endedAtEnd = false;
};

Parsed Parse(const std::vector<unsigned char>& m) {
    Parsed p;
    p.length = m[4] | m[5] << 8 | m[6] << 16 | static_cast<uint32_t>(m[7]) << 24;
    const int nbits = m[8] >> 3;
    size_t at = 8 + (5 + 4 * nbits + 7) / 8;
    at += 2;  // frame rate
    p.frames = m[at] | m[at + 1] << 8;
    at += 2;
    while (at + 2 <= m.size()) {
        const unsigned header = m[at] | m[at + 1] << 8;
        at += 2;
        const unsigned code = header >> 6;
        size_t len = header & 0x3F;
        if (len == 0x3F) {
            len = m[at] | m[at + 1] << 8 | m[at + 2] << 16 | static_cast<size_t>(m[at + 3]) << 24;
            at += 4;
        }
        at += len;
        if (code == 1) ++p.showFrames;
        if (code == 0) {
            p.endedAtEnd = at == m.size();
            break;
        }
    }
    return p;
}

TEST(DemoMovie, IsWellFormed) {
    const auto movie = MakeMovie(7, 36, 0x123456);
    ASSERT_GE(movie.size(), 21u);
    EXPECT_EQ(std::string(movie.begin(), movie.begin() + 3), "FWS");
    EXPECT_EQ(movie[3], 7);
    const Parsed p = Parse(movie);
    EXPECT_EQ(p.length, movie.size());
    EXPECT_EQ(p.frames, 36);
    EXPECT_EQ(p.showFrames, 36);
    EXPECT_TRUE(p.endedAtEnd);
}

TEST(DemoMovie, ProjectorPutsTheMovieRightAfterTheStub) {
    const auto movie = MakeMovie(6, 2, 0);
    const auto projector = MakeProjector(286700, movie);
    ASSERT_EQ(projector.size(), 286700 + movie.size());
    EXPECT_TRUE(std::equal(movie.begin(), movie.end(), projector.begin() + 286700));
    EXPECT_EQ(projector[0], 'M');
    EXPECT_EQ(projector[1], 'Z');
}

}  // namespace
}  // namespace quenlor::demo
