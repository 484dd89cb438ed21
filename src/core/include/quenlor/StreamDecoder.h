// Decompression of a movie's stream, fed in the pieces the copy hands over. A decoder only
// counts and checks: the inflated bytes pass through the caller's buffer and are not kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace quenlor {

class StreamDecoder {
  public:
    enum class Status {
        More,   // wants more input (or more room for output)
        End,    // the stream ended: what follows it is not part of it
        Error,  // the data is not a valid stream
    };
    virtual ~StreamDecoder() = default;
    // Takes input from `in` (`in_used` bytes of it) and writes up to `out_size` bytes of output
    // to `out` (`out_made` of them). `finish`: no input follows what is given.
    virtual Status Decode(const unsigned char* in, size_t in_size, size_t& in_used,
                          unsigned char* out, size_t out_size, size_t& out_made, bool finish) = 0;
    // Input taken but not part of the stream, once Decode returned End.
    virtual uint64_t Unused() const { return 0; }
};

// zlib's inflate of an RFC 1950 stream.
std::unique_ptr<StreamDecoder> NewInflater();

// An LZMA stream as a "ZWS" movie stores it: the five property bytes, then the range-coded data,
// which decodes to exactly `size` bytes and may close with an end marker. The platform's decoder
// (liblzma where the system has it, else the built-in one); null when the properties are
// invalid.
std::unique_ptr<StreamDecoder> NewLzmaDecoder(const unsigned char props[5], uint64_t size);
// The program's own decoder, the same on every platform.
std::unique_ptr<StreamDecoder> NewBuiltInLzmaDecoder(const unsigned char props[5], uint64_t size);

}  // namespace quenlor
