// MD5 from OpenSSL's libcrypto, for the host's services and the fake machine.
#pragma once

#include <memory>

#include "platform/md5.h"

namespace zv::platform::host {

// A running digest; null when libcrypto offers no MD5. A second Final gives
// the same digest again.
std::unique_ptr<Md5Context> BeginOpenSslMd5();

}  // namespace zv::platform::host
