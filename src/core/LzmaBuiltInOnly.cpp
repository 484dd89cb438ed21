// Where the system has no liblzma (the Windows build), movies are decoded by the built-in decoder.
#include "quenlor/StreamDecoder.h"

namespace quenlor {

std::unique_ptr<StreamDecoder> NewLzmaDecoder(const unsigned char props[5], uint64_t size) {
    return NewBuiltInLzmaDecoder(props, size);
}

}  // namespace quenlor
