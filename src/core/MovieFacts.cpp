#include "quenlor/MovieFacts.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "quenlor/StreamDecoder.h"
#include "quenlor/Text.h"

namespace quenlor {
namespace {

constexpr size_t kScratch = 64 * 1024;  // decompressed bytes pass through here
constexpr unsigned kFileAttributesTag = 69;
constexpr unsigned char kAs3Flag = 0x08;
constexpr unsigned char kTrailerMarker[4] = {0x56, 0x34, 0x12, 0xFA};

uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Reads bit fields from the front of a byte string, most significant bit first.
class Bits {
  public:
    explicit Bits(const unsigned char* data) : data_(data) {}
    uint32_t Unsigned(unsigned count) {
        uint32_t value = 0;
        for (unsigned i = 0; i < count; ++i, ++at_)
            value = value << 1 | ((data_[at_ / 8] >> (7 - at_ % 8)) & 1);
        return value;
    }
    int64_t Signed(unsigned count) {
        if (count == 0) return 0;
        const uint32_t value = Unsigned(count);
        const bool negative = (value >> (count - 1)) & 1;
        return negative ? static_cast<int64_t>(value) - (int64_t{1} << count) : value;
    }

  private:
    const unsigned char* data_;
    size_t at_ = 0;
};

// The stage, rate and count that open the body (the bytes after the 8-byte header), and the first
// tag's FileAttributes flags when they are there.
void ReadBody(const unsigned char* body, size_t count, MovieFacts& facts) {
    if (count == 0) return;
    const unsigned field = body[0] >> 3;
    const size_t rect = (5 + 4 * field + 7) / 8;
    if (count < rect + 4) return;
    Bits bits(body);
    bits.Unsigned(5);
    const int64_t x_min = bits.Signed(field), x_max = bits.Signed(field);
    const int64_t y_min = bits.Signed(field), y_max = bits.Signed(field);
    facts.width_twips = x_max - x_min;
    facts.height_twips = y_max - y_min;
    size_t at = rect;
    facts.rate = static_cast<uint16_t>(body[at] | body[at + 1] << 8);
    facts.frames = static_cast<uint16_t>(body[at + 2] | body[at + 3] << 8);
    facts.has_header = true;
    at += 4;
    if (count < at + 2) return;
    const unsigned code_and_length = body[at] | body[at + 1] << 8;
    at += 2;
    uint32_t length = code_and_length & 0x3F;
    if (length == 0x3F) {
        if (count < at + 4) return;
        length = Le32(body + at);
        at += 4;
    }
    if ((code_and_length >> 6) == kFileAttributesTag && length >= 1 && count > at)
        facts.as3 = (body[at] & kAs3Flag) != 0;
}

std::wstring Hundredths(uint64_t hundredths) {
    std::wstring text = Decimal(hundredths / 100);
    const unsigned fraction = static_cast<unsigned>(hundredths % 100);
    if (fraction == 0) return text;
    text += L'.';
    text += static_cast<wchar_t>(L'0' + fraction / 10);
    if (fraction % 10 != 0) text += static_cast<wchar_t>(L'0' + fraction % 10);
    return text;
}

std::wstring Bytes(uint64_t count) {
    return Decimal(count) + L"字节";
}

}  // namespace

std::wstring PixelsText(int64_t twips) {
    const uint64_t magnitude =
        twips < 0 ? uint64_t{0} - static_cast<uint64_t>(twips) : static_cast<uint64_t>(twips);
    return (twips < 0 ? L"-" : L"") + Hundredths(magnitude * 5);  // 20 twips a pixel
}

std::wstring RateText(uint16_t rate) {
    return Hundredths((uint64_t{rate} * 100 + 128) / 256);
}

std::wstring FactsText(const MovieFacts& facts) {
    constexpr wchar_t kDot[] = L" · ";
    std::wstring text = L"Flash " + Decimal(facts.version) + kDot + FromUtf8(facts.kind);
    if (facts.has_header) {
        text += kDot + PixelsText(facts.width_twips) + L"×" + PixelsText(facts.height_twips) +
                kDot + RateText(facts.rate) + L"帧/秒" + kDot +
                Decimal(static_cast<int>(facts.frames)) + L"帧" + kDot +
                (facts.as3 ? L"ActionScript 3" : L"ActionScript 1/2");
    }
    if (!facts.problem.empty()) text += kDot + facts.problem;
    return text;
}

MovieInspector::MovieInspector() = default;
MovieInspector::~MovieInspector() = default;

void MovieInspector::Feed(const unsigned char* data, size_t count) {
    for (size_t i = count > 8 ? count - 8 : 0; i < count; ++i) tail_[(total_ + i) % 8] = data[i];
    total_ += count;
    while (stream_ == Stream::Header && count > 0) {
        // A "ZWS" header goes on to its LZMA properties.
        const size_t wanted = header_got_ >= 8 && std::memcmp(header_, "ZWS", 3) == 0 ? kHeader : 8;
        const size_t take = std::min(count, wanted - header_got_);
        std::memcpy(header_ + header_got_, data, take);
        header_got_ += take;
        data += take;
        count -= take;
        if (header_got_ == wanted) Start();
    }
    switch (stream_) {
        case Stream::Plain:
            Body(data, count);
            break;
        case Stream::Decoding:
            Decode(data, count, false);
            break;
        case Stream::Ended:
            left_over_ += count;
            break;
        case Stream::Header:
        case Stream::Broken:
            break;
    }
}

void MovieInspector::Start() {
    declared_ = Le32(header_ + 4);
    if (std::memcmp(header_, "FWS", 3) == 0) {
        stream_ = Stream::Plain;
    } else if (std::memcmp(header_, "CWS", 3) == 0) {
        decoder_ = NewInflater();
        stream_ = Stream::Decoding;
    } else if (std::memcmp(header_, "ZWS", 3) == 0) {
        if (header_got_ < kHeader) return;  // the LZMA properties come next
        decoder_ = NewLzmaDecoder(header_ + 12, declared_ >= 8 ? declared_ - 8 : 0);
        stream_ = decoder_ ? Stream::Decoding : Stream::Broken;
    } else {
        stream_ = Stream::Broken;
    }
    if (stream_ == Stream::Decoding) scratch_.reset(new unsigned char[kScratch]);
}

void MovieInspector::Decode(const unsigned char* data, size_t count, bool finish) {
    try {
        DecodeSome(data, count, finish);
    } catch (const std::bad_alloc&) {
        // A dictionary too large for this machine: the copy goes on, the movie is not checked.
        stream_ = Stream::Broken;
    }
}

void MovieInspector::DecodeSome(const unsigned char* data, size_t count, bool finish) {
    while (stream_ == Stream::Decoding) {
        size_t used = 0, made = 0;
        const StreamDecoder::Status status =
            decoder_->Decode(data, count, used, scratch_.get(), kScratch, made, finish);
        data += used;
        count -= used;
        Body(scratch_.get(), made);
        if (status == StreamDecoder::Status::End) {
            stream_ = Stream::Ended;
            left_over_ += decoder_->Unused() + count;
        } else if (status == StreamDecoder::Status::Error) {
            stream_ = Stream::Broken;
        } else if (used == 0 && made == 0) {
            return;  // waits for more input
        }
    }
}

void MovieInspector::Body(const unsigned char* data, size_t count) {
    if (body_ < kBodyFacts) {
        const size_t take = static_cast<size_t>(std::min<uint64_t>(count, kBodyFacts - body_));
        std::memcpy(body_facts_ + body_, data, take);
    }
    body_ += count;
}

MovieFacts MovieInspector::Finish() {
    if (stream_ == Stream::Decoding) Decode(nullptr, 0, true);
    MovieFacts facts;
    const bool known = header_got_ >= 8 &&
                       (std::memcmp(header_, "FWS", 3) == 0 ||
                        std::memcmp(header_, "CWS", 3) == 0 || std::memcmp(header_, "ZWS", 3) == 0);
    if (!known) {
        facts.problem = L"不是影片";
        return facts;
    }
    facts.kind.assign(header_, header_ + 3);
    facts.version = header_[3];
    ReadBody(body_facts_, static_cast<size_t>(std::min<uint64_t>(body_, kBodyFacts)), facts);

    // A projector's trailer copied behind the movie (a movie found in a stub window runs to the
    // end of the file) belongs to the projector, not to the movie.
    uint64_t movie = total_;
    unsigned char tail[8];
    for (size_t i = 0; i < 8; ++i) tail[i] = tail_[(total_ + i) % 8];
    if (total_ >= 16 && std::memcmp(tail, kTrailerMarker, 4) == 0 && Le32(tail + 4) == total_ - 8) {
        movie -= 8;
        left_over_ -= std::min<uint64_t>(left_over_, 8);
    }

    const std::wstring expected = L"，应为" + Bytes(declared_);
    if (facts.kind == "FWS") {
        if (movie < declared_) facts.problem = L"不完整：" + Bytes(movie) + expected;
        if (movie > declared_) facts.problem = L"多余：影片后还有" + Bytes(movie - declared_);
        return facts;
    }
    const uint64_t inflated = 8 + body_;
    if (stream_ == Stream::Broken) {
        facts.problem = L"损坏：解压到" + Bytes(inflated) + L"时出错" + expected;
    } else if (inflated < declared_) {
        facts.problem = L"不完整：解压后" + Bytes(inflated) + expected;
    } else if (inflated > declared_) {
        facts.problem = L"过长：解压后" + Bytes(inflated) + expected;
    } else if (stream_ != Stream::Ended) {
        facts.problem = L"不完整：压缩流没有结尾";
    } else if (left_over_ > 0) {
        facts.problem = L"多余：压缩流后还有" + Bytes(left_over_);
    }
    return facts;
}

}  // namespace quenlor
