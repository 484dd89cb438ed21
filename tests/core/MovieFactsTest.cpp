// The movie table of tests/cli/movies.py runs through quenlor-cli natively and under Wine; here
// are the cases it cannot reach: pieces of every size, and the built-in LZMA decoder against
// liblzma on the same streams.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <random>

#include "quenlor/MovieFacts.h"
#include "quenlor/StreamDecoder.h"
#ifndef _WIN32
#include <lzma.h>
#endif  // end

namespace quenlor::test {
namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes& out, uint64_t value, int count) {
    for (int i = 0; i < count; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A 550×400 stage at 24 frames a second, 120 frames, an AS3 FileAttributes tag, then `filler`.
Bytes Body(size_t filler) {
    Bytes body = {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00, 0x00, 0x18, 0x78, 0x00};
    Put(body, 69 << 6 | 4, 2);
    Put(body, 0x08, 4);
    for (size_t i = 0; i < filler; ++i) body.push_back(static_cast<unsigned char>(i * i / 7));
    return body;
}

Bytes Movie(const char* kind, uint64_t declared, const Bytes& stream) {
    Bytes movie(kind, kind + 3);
    movie.push_back(10);
    Put(movie, declared, 4);
    movie.insert(movie.end(), stream.begin(), stream.end());
    return movie;
}

Bytes Deflated(const Bytes& body) {
    uLongf size = compressBound(static_cast<uLong>(body.size()));
    Bytes out(size);
    compress(out.data(), &size, body.data(), static_cast<uLong>(body.size()));
    out.resize(size);
    return out;
}

MovieFacts InPieces(const Bytes& movie, size_t piece) {
    MovieInspector inspector;
    for (size_t at = 0; at < movie.size(); at += piece)
        inspector.Feed(movie.data() + at, std::min(piece, movie.size() - at));
    return inspector.Finish();
}

TEST(MovieFactsTest, FactsAndWholenessDoNotDependOnHowTheMovieIsCut) {
    const Bytes body = Body(20000);
    const uint64_t length = 8 + body.size();
    const Bytes deflated = Deflated(body);
    Bytes behind = Movie("FWS", length, body);
    Put(behind, 0xFA123456, 4);  // the projector's trailer, copied with a stub-window movie
    Put(behind, length, 4);
    const struct {
        const char* name;
        Bytes movie;
        const wchar_t* problem;
    } cases[] = {
        {"trailer behind", behind, L""},
        {"whole CWS", Movie("CWS", length, deflated), L""},
        {"inflates longer", Movie("CWS", length - 100, deflated),
         L"过长：解压后20027字节，应为19927字节"},
        {"stream without its end",
         Movie("CWS", length, Bytes(deflated.begin(), deflated.end() - 4)),
         L"不完整：压缩流没有结尾"},
        {"stream stops after its header",
         Movie("CWS", length, Bytes(deflated.begin(), deflated.begin() + 2)),
         L"不完整：解压后8字节，应为20027字节"},
        {"header only", Bytes(behind.begin(), behind.begin() + 6), L"不是影片"},
    };
    for (const auto& c : cases) {
        const MovieFacts whole = InPieces(c.movie, c.movie.size());
        EXPECT_EQ(whole.problem, c.problem) << c.name;
        if (!whole.has_header) continue;
        const std::wstring facts = std::wstring(L"Flash 10 · ") +
                                   (c.movie[0] == 'F' ? L"FWS" : L"CWS") +
                                   L" · 550×400 · 24帧/秒 · 120帧 · ActionScript 3";
        EXPECT_EQ(FactsText(whole), facts + (whole.problem.empty() ? L"" : L" · " + whole.problem))
            << c.name;
        for (size_t piece : {1, 3, 17, 4096}) {
            const MovieFacts cut = InPieces(c.movie, piece);
            EXPECT_EQ(FactsText(cut), FactsText(whole)) << c.name << " in pieces of " << piece;
        }
    }
}

#ifndef _WIN32
struct Outcome {
    StreamDecoder::Status status;
    Bytes out;
    uint64_t unused;
};

// Decodes `stream` handed over in pieces of `piece` bytes, as the inspector does.
Outcome Decode(std::unique_ptr<StreamDecoder> decoder, const Bytes& stream, size_t piece) {
    Outcome outcome{StreamDecoder::Status::More, {}, 0};
    unsigned char out[1000];
    for (size_t at = 0; at <= stream.size(); at += piece) {
        const bool finish = at + piece > stream.size();
        const unsigned char* in = stream.data() + std::min(at, stream.size());
        size_t left = std::min(piece, stream.size() - std::min(at, stream.size()));
        for (;;) {
            size_t used = 0, made = 0;
            outcome.status = decoder->Decode(in, left, used, out, sizeof(out), made, finish);
            in += used;
            left -= used;
            outcome.out.insert(outcome.out.end(), out, out + made);
            if (outcome.status != StreamDecoder::Status::More) {
                outcome.unused = decoder->Unused() + left +
                                 (stream.size() - std::min(at + piece, stream.size()));
                return outcome;
            }
            if (used == 0 && made == 0) break;
        }
    }
    return outcome;
}

// The payload LZMA-compressed with or without an end marker, as five property bytes and the
// range-coded data: the layout of a "ZWS" movie.
Bytes Lzma(const Bytes& payload, bool end_marker) {
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.dict_size = 1 << 16;
    lzma_stream stream = LZMA_STREAM_INIT;
    EXPECT_EQ(end_marker ? lzma_alone_encoder(&stream, &options)
                         : lzma_microlzma_encoder(&stream, &options),
              LZMA_OK);
    Bytes out(payload.size() * 2 + 100);
    stream.next_in = payload.data();
    stream.avail_in = payload.size();
    stream.next_out = out.data();
    stream.avail_out = out.size();
    EXPECT_EQ(lzma_code(&stream, LZMA_FINISH), LZMA_STREAM_END);
    out.resize(out.size() - stream.avail_out);
    lzma_end(&stream);
    Bytes props = {static_cast<unsigned char>((options.pb * 5 + options.lp) * 9 + options.lc)};
    Put(props, options.dict_size, 4);
    if (end_marker)
        out.erase(out.begin(), out.begin() + 13);  // the .lzma file's header
    else
        out[0] = 0;  // MicroLZMA keeps the properties where the range coder's first 0 goes
    props.insert(props.end(), out.begin(), out.end());
    return props;
}

TEST(MovieFactsTest, BuiltInLzmaDecodesAsLiblzmaDoes) {
    Bytes payload = Body(30000);
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) payload.push_back(static_cast<unsigned char>(random()));
    for (const bool marker : {true, false}) {
        const Bytes whole = Lzma(payload, marker);
        std::vector<Bytes> streams = {whole, Bytes(whole.begin(), whole.end() - 1),
                                      Bytes(whole.begin(), whole.begin() + whole.size() / 2)};
        streams.push_back(whole);
        streams.back().insert(streams.back().end(), {'j', 'u', 'n', 'k'});
        for (size_t at : {size_t{5}, size_t{6}, size_t{100}, whole.size() / 3, whole.size() - 2}) {
            streams.push_back(whole);
            streams.back()[at] ^= 0x41;
        }
        for (size_t s = 0; s < streams.size(); ++s) {
            const Bytes data(streams[s].begin() + 5, streams[s].end());
            for (size_t piece : {1, 63, 65, 100000}) {
                const Outcome ours =
                    Decode(NewBuiltInLzmaDecoder(whole.data(), payload.size()), data, piece);
                const Outcome theirs =
                    Decode(NewLzmaDecoder(whole.data(), payload.size()), data, piece);
                const std::string what = "marker " + std::to_string(marker) + ", stream " +
                                         std::to_string(s) + ", pieces of " + std::to_string(piece);
                // Cut off or corrupt may be told apart differently: either way not whole.
                EXPECT_EQ(ours.status == StreamDecoder::Status::End,
                          theirs.status == StreamDecoder::Status::End)
                    << what;
                const size_t both = std::min(ours.out.size(), theirs.out.size());
                EXPECT_TRUE(
                    std::equal(ours.out.begin(), ours.out.begin() + both, theirs.out.begin()))
                    << what;
                if (ours.status == StreamDecoder::Status::End) {
                    EXPECT_TRUE(ours.out == theirs.out) << what;
                    EXPECT_EQ(ours.unused, theirs.unused) << what;
                }
            }
            if (s == 0) {
                const Bytes data(whole.begin() + 5, whole.end());
                EXPECT_TRUE(
                    Decode(NewBuiltInLzmaDecoder(whole.data(), payload.size()), data, 9).out ==
                    payload);
            }
        }
    }
}
#endif

}  // namespace
}  // namespace quenlor::test
