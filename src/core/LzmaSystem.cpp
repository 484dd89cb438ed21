// The system's liblzma behind the decoder interface, for "ZWS" movies. The movie keeps the
// stream without the .lzma file's header; the decoder is given one made of the property bytes
// and the size the movie's header declares.
#include <lzma.h>

#include <limits>

#include "quenlor/StreamDecoder.h"

namespace quenlor {
namespace {

// A dictionary larger than this is refused rather than allocated.
constexpr uint64_t kMemoryLimit = uint64_t{1} << 30;

class SystemLzma : public StreamDecoder {
  public:
    SystemLzma(const unsigned char props[5], uint64_t size) {
        ready_ = lzma_alone_decoder(&stream_, kMemoryLimit) == LZMA_OK;
        for (int i = 0; i < 5; ++i) header_[i] = props[i];
        for (int i = 0; i < 8; ++i) header_[5 + i] = static_cast<unsigned char>(size >> (8 * i));
    }
    ~SystemLzma() override { lzma_end(&stream_); }
    SystemLzma(const SystemLzma&) = delete;
    SystemLzma& operator=(const SystemLzma&) = delete;

    Status Decode(const unsigned char* in, size_t in_size, size_t& in_used, unsigned char* out,
                  size_t out_size, size_t& out_made, bool finish) override {
        in_used = out_made = 0;
        if (!ready_) return Status::Error;
        if (header_used_ < sizeof(header_)) {  // a header alone decodes to nothing
            stream_.next_in = header_ + header_used_;
            stream_.avail_in = sizeof(header_) - header_used_;
            stream_.next_out = out;
            stream_.avail_out = out_size;
            const lzma_ret result = lzma_code(&stream_, LZMA_RUN);
            header_used_ = sizeof(header_) - stream_.avail_in;
            if (result != LZMA_OK) return Status::Error;
            if (header_used_ < sizeof(header_)) return Status::More;
        }
        stream_.next_in = in;
        stream_.avail_in = in_size;
        stream_.next_out = out;
        stream_.avail_out = out_size;
        const lzma_ret result = lzma_code(&stream_, finish ? LZMA_FINISH : LZMA_RUN);
        in_used = in_size - stream_.avail_in;
        out_made = out_size - stream_.avail_out;
        if (result == LZMA_STREAM_END) return Status::End;
        // LZMA_BUF_ERROR: the input ended inside the stream.
        if (result == LZMA_OK || result == LZMA_BUF_ERROR) return Status::More;
        return Status::Error;
    }

  private:
    lzma_stream stream_ = LZMA_STREAM_INIT;
    bool ready_ = false;
    unsigned char header_[13];
    size_t header_used_ = 0;
};

}  // namespace

std::unique_ptr<StreamDecoder> NewLzmaDecoder(const unsigned char props[5], uint64_t size) {
    if (props[0] >= 9 * 5 * 5) return nullptr;
    return std::make_unique<SystemLzma>(props, size);
}

}  // namespace quenlor
