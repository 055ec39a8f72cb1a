#include "platform/fake/fake_md5.h"

#include <openssl/evp.h>

#include <cstdio>
#include <cstdlib>

namespace zv::fake {
namespace {

struct ContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

class OpenSslMd5 : public platform::Md5Context {
 public:
  OpenSslMd5() : context_(EVP_MD_CTX_new()) {
    if (context_ == nullptr || EVP_DigestInit_ex(context_.get(), EVP_md5(), nullptr) != 1) {
      std::fprintf(stderr, "libcrypto offers no MD5\n");
      std::abort();
    }
  }

  void Update(const void* data, size_t size) override {
    if (!finished_ && size > 0) EVP_DigestUpdate(context_.get(), data, size);
  }

  // A second Final gives the same digest again.
  platform::Md5Digest Final() override {
    if (!finished_) {
      unsigned int length = 0;
      EVP_DigestFinal_ex(context_.get(), digest_.data(), &length);
      finished_ = true;
    }
    return digest_;
  }

 private:
  std::unique_ptr<EVP_MD_CTX, ContextFree> context_;
  platform::Md5Digest digest_{};
  bool finished_ = false;
};

}  // namespace

std::unique_ptr<platform::Md5Context> FakeMd5::Begin() { return std::make_unique<OpenSslMd5>(); }

}  // namespace zv::fake
