#include <windows.h>
// These need windows.h first.
#include <aclapi.h>

#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {
namespace {

// An access list with the memory block it lives in, freed with LocalFree.
class Win32AccessList : public AccessList {
 public:
  Win32AccessList(PACL acl, HLOCAL block) : acl_(acl), block_(block) {}
  ~Win32AccessList() override {
    if (block_ != nullptr) LocalFree(block_);
  }
  Win32AccessList(const Win32AccessList&) = delete;
  Win32AccessList& operator=(const Win32AccessList&) = delete;
  PACL acl() const { return acl_; }

 private:
  PACL acl_;
  HLOCAL block_;
};

}  // namespace

std::unique_ptr<AccessList> Win32Security::GetFileAccessList(const std::string& path) {
  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD status =
      ::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &acl, nullptr, &descriptor);
  if (status != ERROR_SUCCESS) return nullptr;
  // The list lives inside the descriptor's block.
  return std::make_unique<Win32AccessList>(acl, descriptor);
}

std::unique_ptr<AccessList> Win32Security::AddInheritableFullAccess(const AccessList& existing,
                                                                    const std::string& account) {
  std::string name = account;
  EXPLICIT_ACCESS_A access{};
  ::BuildExplicitAccessWithNameA(&access, name.data(), GENERIC_ALL, GRANT_ACCESS,
                                 SUB_CONTAINERS_AND_OBJECTS_INHERIT);
  PACL merged = nullptr;
  const auto& old = static_cast<const Win32AccessList&>(existing);
  if (::SetEntriesInAclA(1, &access, old.acl(), &merged) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32AccessList>(merged, merged);
}

bool Win32Security::SetFileAccessList(const std::string& path, const AccessList& list) {
  std::string target = path;
  const auto& acl = static_cast<const Win32AccessList&>(list);
  return ::SetNamedSecurityInfoA(target.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                 nullptr, acl.acl(), nullptr) == ERROR_SUCCESS;
}

}  // namespace zv::platform::win32
