#include "platform/fake/fake_md5.h"

#include <cstdio>
#include <cstdlib>

#include "platform/host/openssl_md5.h"

namespace zv::fake {

std::unique_ptr<platform::Md5Context> FakeMd5::Begin() {
  std::unique_ptr<platform::Md5Context> context = platform::host::BeginOpenSslMd5();
  if (!context) {
    std::fprintf(stderr, "libcrypto offers no MD5\n");
    std::abort();
  }
  return context;
}

}  // namespace zv::fake
