// SHA-256 through the system's CNG (bcrypt).
#include <windows.h>
#include <bcrypt.h>

#include <algorithm>

#include "quenlor/Sha256.h"

namespace quenlor {
namespace {

class CngSha256 : public Sha256 {
  public:
    CngSha256() {
        ok_ = BCRYPT_SUCCESS(
                  BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
              BCRYPT_SUCCESS(BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0));
    }
    ~CngSha256() override {
        if (hash_) BCryptDestroyHash(hash_);
        if (algorithm_) BCryptCloseAlgorithmProvider(algorithm_, 0);
    }
    CngSha256(const CngSha256&) = delete;
    CngSha256& operator=(const CngSha256&) = delete;

    void Update(const void* data, size_t count) override {
        auto* bytes = static_cast<unsigned char*>(const_cast<void*>(data));
        while (ok_ && count > 0) {
            const ULONG step = static_cast<ULONG>(std::min<size_t>(count, 1u << 30));
            ok_ = BCRYPT_SUCCESS(BCryptHashData(hash_, bytes, step, 0));
            bytes += step;
            count -= step;
        }
    }
    std::string HexDigest() override {
        unsigned char digest[32];
        if (!ok_ || !BCRYPT_SUCCESS(BCryptFinishHash(hash_, digest, sizeof(digest), 0)))
            return std::string();
        ok_ = false;  // a finished hash takes no more data
        return HexOf(digest, sizeof(digest));
    }

  private:
    BCRYPT_ALG_HANDLE algorithm_ = nullptr;
    BCRYPT_HASH_HANDLE hash_ = nullptr;
    bool ok_ = false;
};

}  // namespace

std::unique_ptr<Sha256> NativeSha256() {
    return std::make_unique<CngSha256>();
}

}  // namespace quenlor
