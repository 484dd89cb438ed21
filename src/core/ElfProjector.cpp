#include "quenlor/ElfProjector.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "quenlor/Projector.h"
#include "quenlor/Trailer.h"

namespace quenlor {

namespace {

constexpr unsigned char kMagic[4] = {0x7F, 'E', 'L', 'F'};
constexpr unsigned char kMarker[8] = {0x56, 0x34, 0x12, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr unsigned kClass32 = 1, kClass64 = 2;
constexpr unsigned kLittleEndian = 1;
constexpr unsigned kMachine386 = 3, kMachineX8664 = 62;
constexpr uint32_t kNoBits = 8;  // SHT_NOBITS: a section with no bytes in the file (.bss)
// No real table entry is larger; a header claiming more is damaged, and reading it would cost.
constexpr uint64_t kLargestEntry = 256;
constexpr size_t kTableChunk = 4096;

uint64_t Le(const unsigned char* p, size_t bytes) {
    uint64_t v = 0;
    for (size_t i = bytes; i-- > 0;) v = v << 8 | p[i];
    return v;
}

// Where the fields of one ELF class lie. 32-bit and 64-bit headers differ only in these.
struct Layout {
    size_t header;        // ELF header size
    size_t word;          // size of an offset or a size
    size_t phoff, shoff;  // in the ELF header
    size_t phentsize, phnum, shentsize, shnum;
    size_t ph_size, ph_offset, ph_filesz;  // program header: entry size, fields
    size_t sh_size, sh_type, sh_offset, sh_filesize;
};
constexpr Layout k32{52, 4, 28, 32, 42, 44, 46, 48, 32, 4, 16, 40, 4, 16, 20};
constexpr Layout k64{64, 8, 32, 40, 54, 56, 58, 60, 56, 8, 32, 64, 4, 24, 32};

// Reads `count` entries of `stride` bytes at `offset` in bounded chunks and widens `end` to every
// extent an entry gives. False when the table or an extent lies outside the file.
template <typename Extent>
bool WidenByTable(ReadableFile& file, uint64_t offset, uint64_t count, uint64_t stride,
                  size_t entry, Extent extent, uint64_t& end) {
    const uint64_t size = file.Size();
    if (count == 0) return true;
    if (stride < entry || stride > kLargestEntry || offset > size ||
        count * stride > size - offset) {
        return false;
    }
    end = std::max(end, offset + count * stride);
    const uint64_t per_chunk = std::max<uint64_t>(1, kTableChunk / stride);
    std::vector<unsigned char> buffer(static_cast<size_t>(std::min(count, per_chunk) * stride));
    for (uint64_t first = 0; first < count; first += per_chunk) {
        const uint64_t n = std::min(per_chunk, count - first);
        const size_t want = static_cast<size_t>(n * stride);
        size_t got = 0;
        if (!ReadFully(file, offset + first * stride, buffer.data(), want, got) || got != want) {
            return false;
        }
        for (uint64_t i = 0; i < n; ++i) {
            uint64_t at = 0, length = 0;
            if (!extent(buffer.data() + i * stride, at, length)) continue;
            if (at > size || length > size - at) return false;
            end = std::max(end, at + length);
        }
    }
    return true;
}

}  // namespace

bool IsElfMagic(const unsigned char* head, size_t count) {
    return count >= 4 && std::equal(kMagic, kMagic + 4, head);
}

ElfMovie FindElfMovie(ReadableFile& file, const unsigned char* head, size_t count) {
    ElfMovie result;
    unsigned char header[kElfHeadBytes] = {};
    size_t have = head ? std::min(count, kElfHeadBytes) : 0;
    if (have > 0) std::memcpy(header, head, have);
    if (have < kElfHeadBytes) {
        size_t more = 0;
        if (!ReadFully(file, have, header + have, kElfHeadBytes - have, more)) return result;
        have += more;
    }
    if (!IsElfMagic(header, have) || have < 20 || header[5] != kLittleEndian) return result;
    const Layout* layout = header[4] == kClass32 ? &k32 : header[4] == kClass64 ? &k64 : nullptr;
    if (!layout) return result;

    result.verdict = ElfVerdict::Damaged;
    if (have < layout->header) return result;
    const unsigned machine = static_cast<unsigned>(Le(header + 18, 2));
    const size_t word = layout->word;
    uint64_t end = layout->header;
    const bool segments = WidenByTable(
        file, Le(header + layout->phoff, word), Le(header + layout->phnum, 2),
        Le(header + layout->phentsize, 2), layout->ph_size,
        [layout, word](const unsigned char* e, uint64_t& at, uint64_t& length) {
            at = Le(e + layout->ph_offset, word);
            length = Le(e + layout->ph_filesz, word);
            return length != 0;
        },
        end);
    const bool sections =
        segments && WidenByTable(
                        file, Le(header + layout->shoff, word), Le(header + layout->shnum, 2),
                        Le(header + layout->shentsize, 2), layout->sh_size,
                        [layout, word](const unsigned char* e, uint64_t& at, uint64_t& length) {
                            at = Le(e + layout->sh_offset, word);
                            length = Le(e + layout->sh_filesize, word);
                            return Le(e + layout->sh_type, 4) != kNoBits && length != 0;
                        },
                        end);
    if (!sections) return result;

    // The layout behind the image is the player's, by its machine.
    result.verdict = ElfVerdict::NoMovie;
    const size_t field = machine == kMachine386 ? 4 : machine == kMachineX8664 ? 8 : 0;
    const uint64_t size = file.Size();
    if (field == 0 || size - end < 2 * field) return result;
    unsigned char tail[16 + kMovieHeaderBytes] = {};
    const size_t want = static_cast<size_t>(std::min<uint64_t>(sizeof tail, size - end));
    size_t got = 0;
    if (!ReadFully(file, end, tail, want, got) || got != want) {
        result.verdict = ElfVerdict::Damaged;
        return result;
    }
    if (!std::equal(kMarker, kMarker + field, tail + field)) return result;

    result.verdict = ElfVerdict::LengthMismatch;
    const uint64_t length = Le(tail, field);
    if (length != size - end - 2 * field) return result;
    result.verdict = ElfVerdict::NotMovie;
    if (!IsMovieSignature(tail + 2 * field, got - 2 * field)) return result;
    result.verdict = ElfVerdict::Movie;
    result.start = end + 2 * field;
    result.length = length;
    return result;
}

bool HoldsElfMovie(FileSystem& fs, const std::wstring& path) {
    // Most files are no ELF file at all: their first bytes are all that is read.
    unsigned char head[kElfHeadBytes];
    size_t got = 0;
    if (!fs.ReadHead(path, head, sizeof head, got) || !IsElfMagic(head, got)) return false;
    auto file = fs.OpenRead(path);
    return file && FindElfMovie(*file).verdict == ElfVerdict::Movie;
}

}  // namespace quenlor
