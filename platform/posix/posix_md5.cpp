#include "platform/host/openssl_md5.h"
#include "platform/posix/posix_services.h"

namespace zv::platform::posix {

// Null when libcrypto offers no MD5: the caller then has no digest.
std::unique_ptr<Md5Context> PosixMd5::Begin() { return host::BeginOpenSslMd5(); }

}  // namespace zv::platform::posix
