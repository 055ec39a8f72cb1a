#include <openssl/evp.h>

#include "platform/posix/posix_services.h"

namespace zv::platform::posix {
namespace {

struct ContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

class OpenSslMd5Context : public Md5Context {
 public:
  explicit OpenSslMd5Context(EVP_MD_CTX* context) : context_(context) {}
  void Update(const void* data, size_t size) override {
    if (size > 0) EVP_DigestUpdate(context_.get(), data, size);
  }
  Md5Digest Final() override {
    Md5Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_.get(), digest.data(), &length);
    return digest;
  }

 private:
  std::unique_ptr<EVP_MD_CTX, ContextFree> context_;
};

}  // namespace

// Null when libcrypto offers no MD5: the caller then has no digest.
std::unique_ptr<Md5Context> PosixMd5::Begin() {
  std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) return nullptr;
  return std::make_unique<OpenSslMd5Context>(context.release());
}

}  // namespace zv::platform::posix
