#include "system/access_rights.h"

#include <memory>

#include "platform/services.h"

namespace zv {
namespace {

constexpr uint32_t kUserNameCapacity = 198;  // bytes, terminator included

}  // namespace

int GrantUserFullAccess(const std::string& path) {
  std::string account;
  if (!platform::System().GetUserNameA(kUserNameCapacity, &account) || account.empty()) return 0;
  const std::unique_ptr<platform::AccessList> existing = platform::Acl().GetFileAccessList(path);
  if (existing == nullptr) return 0;
  const std::unique_ptr<platform::AccessList> merged =
      platform::Acl().AddInheritableFullAccess(*existing, account);
  if (merged == nullptr) return 0;
  return platform::Acl().SetFileAccessList(path, *merged) ? 1 : 0;
}

}  // namespace zv
