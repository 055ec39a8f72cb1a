#include "platform/fake/file_node.h"

#include "platform/win_constants.h"

namespace zv::fake {
namespace {

// Rights beyond the generic ones that take part in the sharing check.
constexpr uint32_t kFileReadData = 0x0001;
constexpr uint32_t kFileWriteData = 0x0002;
constexpr uint32_t kFileAppendData = 0x0004;
constexpr uint32_t kFileExecute = 0x0020;
constexpr uint32_t kDelete = 0x00010000;
constexpr uint32_t kGenericExecute = 0x20000000;
constexpr uint32_t kGenericAll = 0x10000000;

std::vector<AccessEntry> InheritedFrom(const FileNode& parent) {
  std::vector<AccessEntry> entries;
  for (const AccessEntry& entry : parent.access) {
    if (!entry.inheritable) continue;
    AccessEntry copy = entry;
    copy.inherited = true;
    entries.push_back(copy);
  }
  return entries;
}

}  // namespace

bool operator==(const AccessEntry& a, const AccessEntry& b) {
  return a.account == b.account && a.rights == b.rights && a.inheritable == b.inheritable &&
         a.inherited == b.inherited;
}
bool operator!=(const AccessEntry& a, const AccessEntry& b) { return !(a == b); }

void Attach(const std::shared_ptr<FileNode>& parent, const std::shared_ptr<FileNode>& child,
            const std::string& key) {
  child->key = key;
  child->parent = parent;
  parent->children[key] = child;
}

void Detach(FileNode& node) {
  if (std::shared_ptr<FileNode> parent = node.parent.lock()) parent->children.erase(node.key);
  node.parent.reset();
}

std::shared_ptr<FileNode> CopyTree(const FileNode& node) {
  auto copy = std::make_shared<FileNode>();
  copy->name = node.name;
  copy->key = node.key;
  copy->directory = node.directory;
  copy->attributes = node.attributes;
  copy->data = node.data;
  copy->access = node.access;
  for (const auto& [key, child] : node.children) Attach(copy, CopyTree(*child), key);
  return copy;
}

void InheritAccess(const FileNode& parent, FileNode& child) {
  for (AccessEntry& entry : InheritedFrom(parent)) child.access.push_back(entry);
}

void PropagateAccess(FileNode& node) {
  std::vector<AccessEntry> inherited = InheritedFrom(node);
  for (auto& [key, child] : node.children) {
    std::vector<AccessEntry> kept;
    for (const AccessEntry& entry : child->access) {
      if (!entry.inherited) kept.push_back(entry);
    }
    kept.insert(kept.end(), inherited.begin(), inherited.end());
    child->access = kept;
    PropagateAccess(*child);
  }
}

bool InUseBelow(const FileNode& node) {
  for (const auto& [key, child] : node.children) {
    if (!child->opens.empty() || child->moduleLoads > 0 || InUseBelow(*child)) return true;
  }
  return false;
}

bool WantsRead(uint32_t access) {
  return (access &
          (win::kGenericRead | kGenericAll | kGenericExecute | kFileReadData | kFileExecute)) != 0;
}

bool WantsWrite(uint32_t access) {
  return (access & (win::kGenericWrite | kGenericAll | kFileWriteData | kFileAppendData)) != 0;
}

bool WantsDelete(uint32_t access) { return (access & (kDelete | kGenericAll)) != 0; }

bool SharingConflict(const OpenRecord& existing, uint32_t access, uint32_t share) {
  auto refused = [](uint32_t wanted, uint32_t granted) {
    return (WantsRead(wanted) && !(granted & win::kFileShareRead)) ||
           (WantsWrite(wanted) && !(granted & win::kFileShareWrite)) ||
           (WantsDelete(wanted) && !(granted & win::kFileShareDelete));
  };
  return refused(access, existing.share) || refused(existing.access, share);
}

}  // namespace zv::fake
