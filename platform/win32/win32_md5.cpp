#include <windows.h>

#include <cstring>

#include "platform/win32/win32_services.h"

// advapi32 exports these without a header of their own.
extern "C" {
struct Md5Ctx {
  ULONG i[2];
  ULONG buf[4];
  unsigned char in[64];
  unsigned char digest[16];
};
void WINAPI MD5Init(Md5Ctx* context);
void WINAPI MD5Update(Md5Ctx* context, const unsigned char* input, unsigned int length);
void WINAPI MD5Final(Md5Ctx* context);
}

namespace zv::platform::win32 {
namespace {

class Win32Md5Context : public Md5Context {
 public:
  Win32Md5Context() { MD5Init(&context_); }
  void Update(const void* data, size_t size) override {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
      const unsigned int chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
      MD5Update(&context_, bytes, chunk);
      bytes += chunk;
      size -= chunk;
    }
  }
  Md5Digest Final() override {
    MD5Final(&context_);
    Md5Digest digest;
    std::memcpy(digest.data(), context_.digest, digest.size());
    return digest;
  }

 private:
  Md5Ctx context_{};
};

}  // namespace

std::unique_ptr<Md5Context> Win32Md5::Begin() { return std::make_unique<Win32Md5Context>(); }

}  // namespace zv::platform::win32
