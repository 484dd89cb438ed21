// SHA-256 of a movie, computed while it is copied. The core only names the interface: each
// executable links the platform's implementation from src/hash (CNG on Windows, OpenSSL's
// libcrypto elsewhere), as it links its file-system layer from src/fs.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace quenlor {

class Sha256 {
  public:
    virtual ~Sha256() = default;
    virtual void Update(const void* data, size_t count) = 0;
    // The digest of everything given, in lower-case hex (64 digits); empty when the platform's
    // implementation failed. Call once.
    virtual std::string HexDigest() = 0;
};

// A new digest from the platform's implementation; null when it is not available.
std::unique_ptr<Sha256> NativeSha256();
using Sha256Factory = std::unique_ptr<Sha256> (*)();

// Bytes as lower-case hex.
std::string HexOf(const unsigned char* bytes, size_t count);

}  // namespace quenlor
