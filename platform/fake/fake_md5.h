// MD5 for the fake machine, from OpenSSL's libcrypto.
#pragma once

#include <memory>

#include "platform/md5.h"

namespace zv::fake {

class FakeMd5 : public platform::Md5 {
 public:
  std::unique_ptr<platform::Md5Context> Begin() override;
};

}  // namespace zv::fake
