#include "platform/host/openssl_md5.h"

#include <openssl/evp.h>

namespace zv::platform::host {
namespace {

struct ContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

class OpenSslMd5Context : public Md5Context {
 public:
  explicit OpenSslMd5Context(EVP_MD_CTX* context) : context_(context) {}
  void Update(const void* data, size_t size) override {
    if (!finished_ && size > 0) EVP_DigestUpdate(context_.get(), data, size);
  }
  Md5Digest Final() override {
    if (!finished_) {
      unsigned int length = 0;
      EVP_DigestFinal_ex(context_.get(), digest_.data(), &length);
      finished_ = true;
    }
    return digest_;
  }

 private:
  std::unique_ptr<EVP_MD_CTX, ContextFree> context_;
  Md5Digest digest_{};
  bool finished_ = false;
};

}  // namespace

std::unique_ptr<Md5Context> BeginOpenSslMd5() {
  std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) return nullptr;
  return std::make_unique<OpenSslMd5Context>(context.release());
}

}  // namespace zv::platform::host
