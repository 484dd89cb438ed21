// What a movie is, read from its header as it is copied: its kind and version, the stage, the
// frame rate and count, whether it is ActionScript 3, and whether it is whole (an uncompressed
// movie as long as its header says; a compressed one whose stream decompresses completely to
// that length with nothing left over).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quenlor {

class StreamDecoder;

struct MovieFacts {
    std::string kind;  // "FWS", "CWS" or "ZWS"; empty when the bytes are no movie
    int version = -1;
    bool has_header = false;  // the stage, rate and count below were read
    int64_t width_twips = 0;
    int64_t height_twips = 0;
    uint16_t rate = 0;  // frames a second, 8.8 fixed point
    uint16_t frames = 0;
    bool as3 = false;      // the first tag is a FileAttributes tag with the ActionScript 3 flag
    std::wstring problem;  // why the movie is not whole, in Chinese; empty when it is whole
};

// A length in twips as pixels: "550", with a fraction only when there is one ("550.5", "0.05").
std::wstring PixelsText(int64_t twips);
// An 8.8 fixed-point frame rate to two decimals at most: "24", "29.97", "12.5".
std::wstring RateText(uint16_t rate);
// The facts in one line for the window's tip:
// "Flash 8 · CWS · 550×400 · 24帧/秒 · 120帧 · ActionScript 1/2", and the problem when not whole.
std::wstring FactsText(const MovieFacts& facts);

// Reads a movie's facts from its bytes, given in order in pieces of any size, once each.
class MovieInspector {
  public:
    MovieInspector();
    ~MovieInspector();
    MovieInspector(const MovieInspector&) = delete;
    MovieInspector& operator=(const MovieInspector&) = delete;

    void Feed(const unsigned char* data, size_t count);
    // After the last piece: the facts of the whole movie.
    MovieFacts Finish();

  private:
    void Start();
    void Decode(const unsigned char* data, size_t count, bool finish);
    void DecodeSome(const unsigned char* data, size_t count, bool finish);
    void Body(const unsigned char* data,
              size_t count);  // the movie's bytes after its 8-byte header

    static constexpr size_t kHeader = 17;     // up to a "ZWS" movie's LZMA properties
    static constexpr size_t kBodyFacts = 32;  // enough for the stage, rate, count and first tag
    enum class Stream { Header, Plain, Decoding, Ended, Broken };

    Stream stream_ = Stream::Header;
    unsigned char header_[kHeader] = {};
    size_t header_got_ = 0;
    uint64_t total_ = 0;     // the movie's bytes fed
    uint64_t body_ = 0;      // the movie's bytes after its header, decompressed
    uint64_t declared_ = 0;  // the whole movie's length, as its header says
    unsigned char body_facts_[kBodyFacts] = {};
    unsigned char tail_[8] = {};  // the last 8 bytes fed, round from total_ % 8
    uint64_t left_over_ = 0;      // fed after the compressed stream ended
    std::unique_ptr<StreamDecoder> decoder_;
    std::unique_ptr<unsigned char[]> scratch_;
};

}  // namespace quenlor
