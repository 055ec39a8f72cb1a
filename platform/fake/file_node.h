// The tree of files and directories of the fake machine's drives.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zv::fake {

// One entry of an access list: an account and the rights granted to it.
// Inheritable entries pass on to what is created below a directory; the
// copies carry `inherited`.
struct AccessEntry {
  std::string account;
  uint32_t rights = 0;
  bool inheritable = false;
  bool inherited = false;
};
bool operator==(const AccessEntry& a, const AccessEntry& b);
bool operator!=(const AccessEntry& a, const AccessEntry& b);

// An open handle's access rights and sharing mode.
struct OpenRecord {
  uint64_t id = 0;
  uint32_t access = 0;
  uint32_t share = 0;
};

struct FileNode {
  std::string name;  // as created; "C:" for a drive root
  std::string key;   // the folded name under which the parent keeps it
  bool directory = false;
  uint32_t attributes = 0;  // read-only, hidden, system, archive
  std::vector<uint8_t> data;
  std::vector<AccessEntry> access;
  std::map<std::string, std::shared_ptr<FileNode>> children;  // by folded name
  std::weak_ptr<FileNode> parent;
  std::list<OpenRecord> opens;
  int moduleLoads = 0;
  // Deleted while open with delete sharing: the name goes with the last handle.
  bool deletePending = false;
};

// Puts `child` under `parent` as `key` (no child of that key may exist).
void Attach(const std::shared_ptr<FileNode>& parent, const std::shared_ptr<FileNode>& child,
            const std::string& key);
// Takes `node` out of its parent directory.
void Detach(FileNode& node);
// A copy of `node` and everything below it, without a parent: names,
// attributes, contents and access lists. Open handles, module loads and
// pending deletions belong to the machine that made them and are not copied.
std::shared_ptr<FileNode> CopyTree(const FileNode& node);
// Gives a newly created `child` the inheritable entries of `parent`.
void InheritAccess(const FileNode& parent, FileNode& child);
// Replaces the inherited entries of everything below `node` by those that
// `node`'s inheritable entries give, as SetNamedSecurityInfo does.
void PropagateAccess(FileNode& node);
// Whether anything below `node` is open or loaded as a module.
bool InUseBelow(const FileNode& node);

// Sharing: whether an open with `access` and `share` conflicts with `existing`.
bool SharingConflict(const OpenRecord& existing, uint32_t access, uint32_t share);
bool WantsRead(uint32_t access);
bool WantsWrite(uint32_t access);
bool WantsDelete(uint32_t access);

}  // namespace zv::fake
