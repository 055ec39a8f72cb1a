// MD5, as the system's advapi32 exports it (MD5Init, MD5Update, MD5Final).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace zv::platform {

using Md5Digest = std::array<uint8_t, 16>;

// One running digest; Update as often as needed, then Final once.
class Md5Context {
 public:
  virtual ~Md5Context() = default;
  virtual void Update(const void* data, size_t size) = 0;
  virtual Md5Digest Final() = 0;
};

class Md5 {
 public:
  virtual ~Md5() = default;
  virtual std::unique_ptr<Md5Context> Begin() = 0;
};

}  // namespace zv::platform
