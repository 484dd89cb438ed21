// Fuzzing of the movie facts: the header reader and the stream check must give the same facts
// whatever pieces the movie comes in, and the built-in LZMA decoder must decode every stream as
// liblzma does (the same bytes, the same end). Neither may read outside what it was given.
//
// Input: one byte (its low two bits: the movie's signature, none, FWS, CWS or ZWS; the rest: the
// piece size), then the movie's bytes after the signature.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "quenlor/MovieFacts.h"
#include "quenlor/StreamDecoder.h"

using namespace quenlor;

namespace {

using Bytes = std::vector<unsigned char>;

MovieFacts InPieces(const Bytes& movie, size_t piece) {
    MovieInspector inspector;
    for (size_t at = 0; at < movie.size(); at += piece)
        inspector.Feed(movie.data() + at, std::min(piece, movie.size() - at));
    return inspector.Finish();
}

struct Outcome {
    StreamDecoder::Status status = StreamDecoder::Status::More;
    Bytes out;
};

Outcome Decode(std::unique_ptr<StreamDecoder> decoder, const unsigned char* in, size_t size,
               size_t piece) {
    Outcome outcome;
    unsigned char out[4096];
    for (size_t at = 0; at <= size; at += piece) {
        const bool finish = at + piece > size;
        const unsigned char* next = in + std::min(at, size);
        size_t left = std::min(piece, size - std::min(at, size));
        for (;;) {
            size_t used = 0, made = 0;
            outcome.status = decoder->Decode(next, left, used, out, sizeof(out), made, finish);
            next += used;
            left -= used;
            outcome.out.insert(outcome.out.end(), out, out + made);
            if (outcome.status != StreamDecoder::Status::More) return outcome;
            if (used == 0 && made == 0) break;
        }
    }
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const kSignatures[] = {"", "FWS", "CWS", "ZWS"};
    const char* signature = kSignatures[data[0] & 3];
    const size_t piece = 1 + (data[0] >> 2);
    Bytes movie(signature, signature + (data[0] & 3 ? 3 : 0));
    movie.insert(movie.end(), data + 1, data + size);

    const MovieFacts whole = InPieces(movie, movie.size() + 1);
    if (FactsText(whole) != FactsText(InPieces(movie, piece))) {
        fprintf(stderr, "facts differ\n");
        abort();
    }

    // The bytes after the properties as an LZMA stream that decodes to a size of up to 64 KiB.
    if (size >= 8) {
        const unsigned char* props = data + 1;
        const uint64_t out_size = data[6] | data[7] << 8;
        // Dictionaries beyond what liblzma is allowed to allocate are refused by it alone.
        const uint32_t dictionary =
            props[1] | props[2] << 8 | props[3] << 16 | uint32_t{props[4]} << 24;
        if (dictionary > (1u << 30)) return 0;
        auto ours = NewBuiltInLzmaDecoder(props, out_size);
        auto theirs = NewLzmaDecoder(props, out_size);
        if (!ours || !theirs) {
            if (!ours != !theirs) abort();
            return 0;
        }
        const Outcome a = Decode(std::move(ours), data + 8, size - 8, piece);
        const Outcome b = Decode(std::move(theirs), data + 8, size - 8, piece);
        // A stream that does not end may be told apart as cut off or as corrupt, a few bytes
        // sooner or later, by one and not the other: either way it is not whole, and what both
        // decoded is the same.
        const bool ended = a.status == StreamDecoder::Status::End;
        const size_t both = std::min(a.out.size(), b.out.size());
        if (ended != (b.status == StreamDecoder::Status::End) || (ended && a.out != b.out) ||
            !std::equal(a.out.begin(), a.out.begin() + both, b.out.begin())) {
            fprintf(stderr, "lzma: ours %d %zu theirs %d %zu\n", int(a.status), a.out.size(),
                    int(b.status), b.out.size());
            abort();
        }
    }
    return 0;
}
