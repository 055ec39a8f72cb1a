// Access lists of the fake machine's files and directories.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/fake_files.h"
#include "platform/fake/file_node.h"
#include "platform/fake/machine_state.h"
#include "platform/security.h"

namespace zv::fake {

class FakeAccessList : public platform::AccessList {
 public:
  explicit FakeAccessList(std::vector<AccessEntry> entries) : entries_(std::move(entries)) {}
  const std::vector<AccessEntry>& entries() const { return entries_; }

 private:
  std::vector<AccessEntry> entries_;
};

class FakeSecurity : public platform::Security {
 public:
  FakeSecurity(MachineState& state, FakeFileSystem& files) : state_(state), files_(files) {}

  // platform::Security; failures leave their error in LastError().
  std::unique_ptr<platform::AccessList> GetFileAccessList(const std::string& path) override;
  std::unique_ptr<platform::AccessList> AddInheritableFullAccess(
      const platform::AccessList& existing, const std::string& account) override;
  // Sets the list and passes its inheritable entries on to everything below.
  bool SetFileAccessList(const std::string& path, const platform::AccessList& list) override;

  // Test-facing access, without redirection. Empty for a missing path.
  std::vector<AccessEntry> AccessEntries(const std::string& path);
  bool SetAccessEntries(const std::string& path, const std::vector<AccessEntry>& entries);

 private:
  MachineState& state_;
  FakeFileSystem& files_;
};

}  // namespace zv::fake
