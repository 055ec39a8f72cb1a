#include "platform/fake/fake_security.h"

#include "platform/fake/code_page.h"
#include "platform/win_constants.h"

namespace zv::fake {
namespace {

constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kErrorNoneMapped = 1332;  // no account of that name

}  // namespace

std::unique_ptr<platform::AccessList> FakeSecurity::GetFileAccessList(const std::string& path) {
  state_.NoteModuleLoad("GetNamedSecurityInfoA", path);
  if (state_.Injected("GetNamedSecurityInfoA", {path})) return nullptr;
  uint32_t error = 0;
  std::shared_ptr<FileNode> node = files_.FindNode(path, true, &error);
  if (node == nullptr) {
    state_.Fail(error);
    return nullptr;
  }
  return std::make_unique<FakeAccessList>(node->access);
}

std::unique_ptr<platform::AccessList> FakeSecurity::AddInheritableFullAccess(
    const platform::AccessList& existing, const std::string& account) {
  state_.NoteModuleLoad("SetEntriesInAclA", account);
  if (state_.Injected("SetEntriesInAclA", {account})) return nullptr;
  const auto* list = dynamic_cast<const FakeAccessList*>(&existing);
  if (list == nullptr) {
    state_.Fail(win::kErrorInvalidParameter);
    return nullptr;
  }
  if (account.empty()) {
    state_.Fail(kErrorNoneMapped);
    return nullptr;
  }
  // A grant merges into an explicit inheritable entry of the same account;
  // otherwise it joins the explicit entries, ahead of the inherited ones.
  std::vector<AccessEntry> entries = list->entries();
  std::string folded = FoldAnsi(files_.CodePage(), account);
  auto position = entries.begin();
  for (; position != entries.end() && !position->inherited; ++position) {
    if (position->inheritable && FoldAnsi(files_.CodePage(), position->account) == folded) {
      position->rights |= kGenericAll;
      return std::make_unique<FakeAccessList>(entries);
    }
  }
  entries.insert(position, AccessEntry{account, kGenericAll, true, false});
  return std::make_unique<FakeAccessList>(entries);
}

bool FakeSecurity::SetFileAccessList(const std::string& path, const platform::AccessList& list) {
  state_.NoteModuleLoad("SetNamedSecurityInfoA", path);
  if (state_.Injected("SetNamedSecurityInfoA", {path})) return false;
  const auto* entries = dynamic_cast<const FakeAccessList*>(&list);
  if (entries == nullptr) return state_.Fail(win::kErrorInvalidParameter);
  uint32_t error = 0;
  std::shared_ptr<FileNode> node = files_.FindNode(path, true, &error);
  if (node == nullptr) return state_.Fail(error);
  node->access = entries->entries();
  PropagateAccess(*node);
  return true;
}

std::vector<AccessEntry> FakeSecurity::AccessEntries(const std::string& path) {
  uint32_t error = 0;
  std::shared_ptr<FileNode> node = files_.FindNode(path, false, &error);
  return node == nullptr ? std::vector<AccessEntry>() : node->access;
}

bool FakeSecurity::SetAccessEntries(const std::string& path,
                                    const std::vector<AccessEntry>& entries) {
  uint32_t error = 0;
  std::shared_ptr<FileNode> node = files_.FindNode(path, false, &error);
  if (node == nullptr) return false;
  node->access = entries;
  PropagateAccess(*node);
  return true;
}

}  // namespace zv::fake
