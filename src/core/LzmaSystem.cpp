// The system's liblzma behind the decoder interface, for "ZWS" movies: its raw LZMA1 decoder,
// told the size the movie's header declares.
#include <lzma.h>

#include <cstdlib>
#include <vector>
#include <algorithm>

#include "quenlor/StreamDecoder.h"

namespace quenlor {
namespace {

// A dictionary larger than this is refused rather than allocated.
constexpr uint64_t kMemoryLimit = uint64_t{1} << 30;
// More than an end marker and the range coder's last bytes.
constexpr size_t kHeldBack = 64;

class SystemLzma : public StreamDecoder {
  public:
    SystemLzma(const unsigned char props[5], uint64_t size) {
        // LZMA1EXT takes the size from the movie's header, and an end marker right after it.
        lzma_filter filter = {LZMA_FILTER_LZMA1, nullptr};
        if (lzma_properties_decode(&filter, nullptr, props, 5) != LZMA_OK) return;
        options_ = *static_cast<lzma_options_lzma*>(filter.options);
        free(filter.options);
        options_.ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
        options_.ext_size_low = static_cast<uint32_t>(size);
        options_.ext_size_high = static_cast<uint32_t>(size >> 32);
        const lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, &options_},
                                        {LZMA_VLI_UNKNOWN, nullptr}};
        ready_ =
            options_.dict_size <= kMemoryLimit && lzma_raw_decoder(&stream_, filters) == LZMA_OK;
    }
    ~SystemLzma() override { lzma_end(&stream_); }
    bool Ready() const { return ready_; }
    SystemLzma(const SystemLzma&) = delete;
    SystemLzma& operator=(const SystemLzma&) = delete;

    Status Decode(const unsigned char* in, size_t in_size, size_t& in_used, unsigned char* out,
                  size_t out_size, size_t& out_made, bool finish) override {
        in_used = in_size;
        out_made = 0;
        held_.insert(held_.end(), in, in + in_size);
        // liblzma 5.4.1 fails a valid end marker that is handed over in two calls: the last bytes
        // are held back until the input ends, and then given in one.
        const size_t give =
            finish ? held_.size() : held_.size() - std::min(held_.size(), kHeldBack);
        stream_.next_in = held_.data();
        stream_.avail_in = give;
        stream_.next_out = out;
        stream_.avail_out = out_size;
        const lzma_ret result = lzma_code(&stream_, finish ? LZMA_FINISH : LZMA_RUN);
        held_.erase(held_.begin(),
                    held_.begin() + static_cast<std::ptrdiff_t>(give - stream_.avail_in));
        out_made = out_size - stream_.avail_out;
        if (result == LZMA_STREAM_END) return Status::End;
        // LZMA_BUF_ERROR: the input ended inside the stream.
        if (result == LZMA_OK || result == LZMA_BUF_ERROR) return Status::More;
        return Status::Error;
    }

    uint64_t Unused() const override { return held_.size(); }

  private:
    lzma_stream stream_ = LZMA_STREAM_INIT;
    lzma_options_lzma options_ = {};
    bool ready_ = false;
    std::vector<unsigned char> held_;  // taken, not yet given to liblzma
};

}  // namespace

std::unique_ptr<StreamDecoder> NewLzmaDecoder(const unsigned char props[5], uint64_t size) {
    auto decoder = std::make_unique<SystemLzma>(props, size);
    if (!decoder->Ready()) return nullptr;
    return decoder;
}

}  // namespace quenlor
