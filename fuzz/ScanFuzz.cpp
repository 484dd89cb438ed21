// Differential fuzzing of the signature scan: the bounded, single-read scan must agree with a naive
// scan over the whole file, for both tables, on files laid out from the fuzzer's bytes.
//
// Input: 3 bytes of file length, then records of 4 bytes (anchor, offset low, offset high, what)
// that drop "FWS", "CWS" or a lone letter near one of the known stub lengths.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "Fakes.h"
#include "quenlor/Projector.h"

using namespace quenlor;

namespace {

std::optional<int64_t> NaiveScan(const std::vector<unsigned char>& file, const StubTable& table) {
    const int64_t length = static_cast<int64_t>(file.size());
    if (length <= table.entries[0]) return std::nullopt;
    for (size_t t = 0; t < table.count; ++t) {
        for (int64_t o = table.entries[t] - 1; o <= table.entries[t] + 199; ++o) {
            if (length - o < 21) return std::nullopt;
            if (file[o] == 'F' && file[o + 1] == 'W' && file[o + 2] == 'S') return o;
        }
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static const int64_t anchors[] = {0, 90100, 94200, 102450, 286700, 290800, 376800, 377000};
    const size_t length = 80000 + (data[0] | data[1] << 8 | data[2] << 16) % 310000;
    std::vector<unsigned char> file(length, 0);
    for (size_t i = 3; i + 4 <= size; i += 4) {
        const int64_t anchor = anchors[data[i] % 8];
        const int64_t at = anchor - 16 + ((data[i + 1] | data[i + 2] << 8) % 260);
        static const char* const drops[] = {"FWS", "CWS", "F", "WS", "FW", "S"};
        const char* drop = drops[data[i + 3] % 6];
        for (int64_t k = 0; drop[k] != 0; ++k) {
            if (at + k >= 0 && at + k < static_cast<int64_t>(length)) file[at + k] = drop[k];
        }
    }
    for (const StubTable* table : {&kSearchTable, &kExtractionTable}) {
        test::MemoryFile memory(file);
        test::FakePump pump;
        PumpPacer pacer(pump);
        const auto fast = FindMovieStart(memory, *table, pacer);
        if (fast != NaiveScan(file, *table)) std::abort();
        if (memory.reads.size() > 1) std::abort();  // one read at most
    }
    return 0;
}
