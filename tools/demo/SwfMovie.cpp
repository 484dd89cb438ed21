#include "tools/demo/SwfMovie.h"

#include <cstring>

namespace quenlor::demo {

namespace {

// Writes bit fields most significant bit first, as the movie format packs them.
class BitWriter {
  public:
    void Bits(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            current_ = static_cast<unsigned char>((current_ << 1) | ((value >> i) & 1));
            if (++used_ == 8) Flush();
        }
    }
    void Signed(int32_t value, int count) { Bits(static_cast<uint32_t>(value), count); }
    std::vector<unsigned char> Take() {
        if (used_ > 0) {
            current_ = static_cast<unsigned char>(current_ << (8 - used_));
            Flush();
        }
        return std::move(bytes_);
    }

  private:
    void Flush() {
        bytes_.push_back(current_);
        current_ = 0;
        used_ = 0;
    }
    std::vector<unsigned char> bytes_;
    unsigned char current_ = 0;
    int used_ = 0;
};

// Bits needed for a signed value, sign bit included.
int SignedBits(int32_t v) {
    int bits = 1;
    while (v >= (1 << (bits - 1)) || v < -(1 << (bits - 1))) ++bits;
    return bits;
}

std::vector<unsigned char> Rect(int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax) {
    int n = 1;
    for (int32_t v : {xmin, xmax, ymin, ymax}) n = std::max(n, SignedBits(v));
    BitWriter w;
    w.Bits(static_cast<uint32_t>(n), 5);
    for (int32_t v : {xmin, xmax, ymin, ymax}) w.Signed(v, n);
    return w.Take();
}

void Put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}
void Put32(std::vector<unsigned char>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void Append(std::vector<unsigned char>& out, const std::vector<unsigned char>& more) {
    out.insert(out.end(), more.begin(), more.end());
}

void Tag(std::vector<unsigned char>& out, uint16_t code, const std::vector<unsigned char>& body) {
    if (body.size() < 0x3F) {
        Put16(out, static_cast<uint32_t>(code << 6 | body.size()));
    } else {
        Put16(out, static_cast<uint32_t>(code << 6 | 0x3F));
        Put32(out, static_cast<uint32_t>(body.size()));
    }
    Append(out, body);
}

constexpr int32_t kSide = 60 * 20;  // twips

std::vector<unsigned char> Square(uint32_t rgb) {
    std::vector<unsigned char> body;
    Put16(body, 1);  // character id
    Append(body, Rect(0, kSide, 0, kSide));
    body.push_back(1);  // one fill style: solid
    body.push_back(0x00);
    body.push_back(static_cast<unsigned char>(rgb >> 16));
    body.push_back(static_cast<unsigned char>(rgb >> 8));
    body.push_back(static_cast<unsigned char>(rgb));
    body.push_back(0);  // no line styles
    BitWriter w;
    w.Bits(1, 4);  // fill bits
    w.Bits(0, 4);  // line bits
    // Style change: move to (0,0), fill style 1 on the left... of each edge drawn clockwise.
    w.Bits(0, 1);        // not an edge
    w.Bits(0b00101, 5);  // no new styles, no line style, fill1 set, no fill0, move-to
    const int mb = SignedBits(0);
    w.Bits(static_cast<uint32_t>(mb), 5);
    w.Signed(0, mb);
    w.Signed(0, mb);
    w.Bits(1, 1);  // fill style 1
    const int nb = SignedBits(kSide);
    const int32_t edges[4][2] = {{kSide, 0}, {0, kSide}, {-kSide, 0}, {0, -kSide}};
    for (const auto& e : edges) {
        w.Bits(1, 1);  // edge
        w.Bits(1, 1);  // straight
        w.Bits(static_cast<uint32_t>(nb - 2), 4);
        w.Bits(0, 1);  // not general: vertical or horizontal
        const bool vertical = e[0] == 0;
        w.Bits(vertical ? 1 : 0, 1);
        w.Signed(vertical ? e[1] : e[0], nb);
    }
    w.Bits(0, 6);  // end of shape
    Append(body, w.Take());
    return body;
}

std::vector<unsigned char> Place(bool first, int32_t x, int32_t y) {
    std::vector<unsigned char> body;
    body.push_back(first ? 0x06 : 0x05);  // has matrix, and has character (first) or move
    Put16(body, 1);                       // depth
    if (first) Put16(body, 1);            // character id
    BitWriter w;
    w.Bits(0, 1);  // no scale
    w.Bits(0, 1);  // no rotation
    const int tb = std::max(SignedBits(x), SignedBits(y));
    w.Bits(static_cast<uint32_t>(tb), 5);
    w.Signed(x, tb);
    w.Signed(y, tb);
    Append(body, w.Take());
    return body;
}

}  // namespace

std::vector<unsigned char> MakeMovie(unsigned char version, int frames, uint32_t rgb) {
    std::vector<unsigned char> tags;
    Tag(tags, 9, {0xF0, 0xF0, 0xF0});  // background colour
    Tag(tags, 2, Square(rgb));
    const int32_t travel = 320 * 20 - kSide;
    for (int f = 0; f < frames; ++f) {
        const int32_t x = frames > 1 ? travel * f / (frames - 1) : 0;
        Tag(tags, 26, Place(f == 0, x, 90 * 20));
        Tag(tags, 1, {});  // show frame
    }
    Tag(tags, 0, {});  // end

    std::vector<unsigned char> movie = {'F', 'W', 'S', version, 0, 0, 0, 0};
    Append(movie, Rect(0, 320 * 20, 0, 240 * 20));
    Put16(movie, 12 << 8);  // 12.0 frames a second, 8.8 fixed point
    Put16(movie, static_cast<uint32_t>(frames));
    Append(movie, tags);
    const uint32_t length = static_cast<uint32_t>(movie.size());
    for (int i = 0; i < 4; ++i) movie[4 + i] = static_cast<unsigned char>(length >> (8 * i));
    return movie;
}

std::vector<unsigned char> MakeProjector(size_t stub_length,
                                         const std::vector<unsigned char>& movie) {
    std::vector<unsigned char> file(stub_length, 0);
    const char header[] = "MZ\x90\0This is a stand-in for a movie player.";
    std::memcpy(file.data(), header, std::min(sizeof header, stub_length));
    file.insert(file.end(), movie.begin(), movie.end());
    return file;
}

namespace {

uint32_t Adler32(const unsigned char* data, size_t size) {
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

// A zlib stream (RFC 1950) of stored deflate blocks (RFC 1951, 3.2.4).
std::vector<unsigned char> ZlibStored(const unsigned char* data, size_t size) {
    std::vector<unsigned char> out = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(size - at, 0xFFFF);
        out.push_back(at + n == size ? 1 : 0);  // final block flag, block type 00 (stored)
        Put16(out, static_cast<uint32_t>(n));
        Put16(out, static_cast<uint32_t>(~n & 0xFFFF));
        out.insert(out.end(), data + at, data + at + n);
        at += n;
    } while (at < size);
    const uint32_t check = Adler32(data, size);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(check >> shift));
    return out;
}

}  // namespace

std::vector<unsigned char> Compress(const std::vector<unsigned char>& movie) {
    std::vector<unsigned char> out(movie.begin(), movie.begin() + 8);
    out[0] = 'C';
    Append(out, ZlibStored(movie.data() + 8, movie.size() - 8));
    return out;
}

std::vector<unsigned char> MakeLaterProjector(size_t stub_length,
                                              const std::vector<unsigned char>& movie) {
    std::vector<unsigned char> file = MakeProjector(stub_length, movie);
    Append(file, {0x56, 0x34, 0x12, 0xFA});
    Put32(file, static_cast<uint32_t>(movie.size()));
    return file;
}

}  // namespace quenlor::demo
