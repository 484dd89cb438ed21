// SHA-256 through OpenSSL's libcrypto.
#include <openssl/evp.h>

#include "quenlor/Sha256.h"

namespace quenlor {
namespace {

class OpenSslSha256 : public Sha256 {
  public:
    OpenSslSha256() : context_(EVP_MD_CTX_new()) {
        ok_ = context_ && EVP_DigestInit_ex(context_, EVP_sha256(), nullptr) == 1;
    }
    ~OpenSslSha256() override { EVP_MD_CTX_free(context_); }
    OpenSslSha256(const OpenSslSha256&) = delete;
    OpenSslSha256& operator=(const OpenSslSha256&) = delete;

    void Update(const void* data, size_t count) override {
        ok_ = ok_ && EVP_DigestUpdate(context_, data, count) == 1;
    }
    std::string HexDigest() override {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        const bool done = ok_ && EVP_DigestFinal_ex(context_, digest, &length) == 1;
        ok_ = false;  // a finished digest takes no more data
        return done ? HexOf(digest, length) : std::string();
    }

  private:
    EVP_MD_CTX* context_;
    bool ok_ = false;
};

}  // namespace

std::unique_ptr<Sha256> NativeSha256() {
    return std::make_unique<OpenSslSha256>();
}

}  // namespace quenlor
