// Access control lists of files and directories.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zv::platform {

// An access control list read from or made for a file object. It is freed
// (LocalFree) when the object is destroyed.
class AccessList {
 public:
  virtual ~AccessList() = default;
};

class Security {
 public:
  virtual ~Security() = default;
  // GetNamedSecurityInfoA(file object, DACL only). Null on failure.
  virtual std::unique_ptr<AccessList> GetFileAccessList(const std::string& path) = 0;
  // BuildExplicitAccessWithNameA(account, GENERIC_ALL, GRANT_ACCESS,
  // SUB_CONTAINERS_AND_OBJECTS_INHERIT) merged with SetEntriesInAclA. Null on failure.
  virtual std::unique_ptr<AccessList> AddInheritableFullAccess(const AccessList& existing,
                                                               const std::string& account) = 0;
  // SetNamedSecurityInfoA(file object, DACL only): true on success.
  virtual bool SetFileAccessList(const std::string& path, const AccessList& list) = 0;
};

}  // namespace zv::platform
