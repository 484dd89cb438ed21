// zlib's inflate behind the decoder interface, for "CWS" movies.
#include <zlib.h>

#include <limits>

#include "quenlor/StreamDecoder.h"

namespace quenlor {
namespace {

class Inflater : public StreamDecoder {
  public:
    Inflater() { ready_ = inflateInit(&stream_) == Z_OK; }
    ~Inflater() override {
        if (ready_) inflateEnd(&stream_);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    Status Decode(const unsigned char* in, size_t in_size, size_t& in_used, unsigned char* out,
                  size_t out_size, size_t& out_made, bool /*finish*/) override {
        in_used = out_made = 0;
        if (!ready_) return Status::Error;
        // zlib counts in 32-bit units: larger pieces are taken in parts.
        constexpr size_t kMost = std::numeric_limits<uInt>::max();
        stream_.next_in = const_cast<unsigned char*>(in);
        stream_.avail_in = static_cast<uInt>(in_size < kMost ? in_size : kMost);
        stream_.next_out = out;
        stream_.avail_out = static_cast<uInt>(out_size < kMost ? out_size : kMost);
        const int result = inflate(&stream_, Z_NO_FLUSH);
        in_used = static_cast<size_t>(stream_.next_in - in);
        out_made = static_cast<size_t>(stream_.next_out - out);
        if (result == Z_STREAM_END) return Status::End;
        if (result == Z_OK || result == Z_BUF_ERROR) return Status::More;
        return Status::Error;
    }

  private:
    z_stream stream_{};
    bool ready_ = false;
};

}  // namespace

std::unique_ptr<StreamDecoder> NewInflater() {
    return std::make_unique<Inflater>();
}

}  // namespace quenlor
