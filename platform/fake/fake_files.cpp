#include "platform/fake/fake_files.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/fake/code_page.h"
#include "platform/fake/fake_file.h"

namespace zv::fake {
namespace {

constexpr uint32_t kErrorNotSameDevice = 17;
constexpr uint32_t kTruncateExisting = 5;
constexpr uint32_t kDelete = 0x00010000;
constexpr uint32_t kShareAll = win::kFileShareRead | win::kFileShareWrite | win::kFileShareDelete;
constexpr uint32_t kSettableAttributes = win::kAttributeReadOnly | win::kAttributeHidden |
                                         win::kAttributeSystem | win::kAttributeArchive;
constexpr uint32_t kDriveRamDisk = 6;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorDirectory = 267;

bool HasRoot(uint32_t driveType) {
  return driveType >= win::kDriveRemovable && driveType <= kDriveRamDisk;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char UpperLetter(char c) { return static_cast<char>(c & ~0x20); }

uint32_t Reported(const FileNode& node) {
  uint32_t attributes = node.attributes | (node.directory ? win::kAttributeDirectory : 0);
  return attributes == 0 ? win::kAttributeNormal : attributes;
}

// Whether the hidden or system attribute of an existing file is missing from
// the attributes of a CREATE_ALWAYS open.
bool DropsHiddenOrSystem(const FileNode& node, uint32_t flags) {
  uint32_t kept = node.attributes & (win::kAttributeHidden | win::kAttributeSystem);
  return (kept & ~flags) != 0;
}

bool IsInside(const std::shared_ptr<FileNode>& directory, std::shared_ptr<FileNode> node) {
  for (; node != nullptr; node = node->parent.lock()) {
    if (node == directory) return true;
  }
  return false;
}

bool DeleteBlocked(const FileNode& node) {
  return std::any_of(node.opens.begin(), node.opens.end(), [](const OpenRecord& open) {
    return SharingConflict(open, kDelete, kShareAll);
  });
}

// Appends what lies below `directory`, whose path is `path`, to `entries`;
// `path` is extended by each name in turn and comes back as it was.
void AppendTree(const FileNode& directory, std::string* path, std::vector<TreeEntry>* entries) {
  const size_t length = path->size();
  if (path->empty() || path->back() != '\\') *path += '\\';
  const size_t prefix = path->size();
  for (const auto& [key, child] : directory.children) {
    path->resize(prefix);
    *path += child->name;
    entries->push_back(TreeEntry{*path, Reported(*child), child->data});
    if (child->directory) AppendTree(*child, path, entries);
  }
  path->resize(length);
}

std::string Shown(const ParsedPath& path, uint32_t error) {
  return error == 0 ? FormatPath(path) : std::string();
}

// The characters of `text`: one or two bytes each.
std::vector<std::string_view> Characters(uint32_t codePage, std::string_view text) {
  std::vector<std::string_view> characters;
  for (size_t i = 0; i < text.size();) {
    const size_t length = CharacterLength(codePage, text, i);
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

// '*' and '?' against folded names, one character at a time; on a mismatch
// the last '*' takes one more character.
bool WildcardMatch(const std::vector<std::string_view>& name,
                   const std::vector<std::string_view>& pattern) {
  size_t n = 0;
  size_t p = 0;
  size_t starPattern = std::string_view::npos;
  size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == "*") {
      starPattern = p++;
      starName = n;
    } else if (p < pattern.size() && (pattern[p] == "?" || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (starPattern != std::string_view::npos) {
      p = starPattern + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == "*") ++p;
  return p == pattern.size();
}

bool NameMatches(uint32_t codePage, const std::string& name, const std::string& pattern) {
  const std::string foldedName = FoldAnsi(codePage, name);
  const std::string foldedPattern = FoldAnsi(codePage, pattern);
  const std::vector<std::string_view> characters = Characters(codePage, foldedName);
  std::vector<std::string_view> wanted = Characters(codePage, foldedPattern);
  if (WildcardMatch(characters, wanted)) return true;
  // "name.*" also stands for "name" without any extension.
  const size_t count = wanted.size();
  if (count < 2 || wanted[count - 2] != "." || wanted[count - 1] != "*") return false;
  wanted.resize(count - 2);
  return WildcardMatch(characters, wanted);
}

bool ValidPattern(uint32_t codePage, const std::string& pattern) {
  for (std::string_view character : Characters(codePage, pattern)) {
    const unsigned char c = static_cast<unsigned char>(character[0]);
    if (character.size() == 1 && (c < 0x20 || std::strchr("<>:\"|/\\", c) != nullptr)) {
      return false;
    }
  }
  return true;
}

// Splits a search pattern into the directory part (which keeps its trailing
// separator) and the name part, at the last separator that is a character
// of its own (a trail byte may be 0x5C).
void SplitPattern(uint32_t codePage, const std::string& pattern, std::string* directory,
                  std::string* leaf) {
  size_t cut = std::string::npos;
  for (size_t i = 0; i < pattern.size();) {
    const size_t length = CharacterLength(codePage, pattern, i);
    if (length == 1 && (pattern[i] == '\\' || pattern[i] == '/')) cut = i;
    i += length;
  }
  if (cut == std::string::npos && pattern.size() >= 2 && IsLetter(pattern[0]) &&
      pattern[1] == ':') {
    cut = 1;
  }
  if (cut == std::string::npos) {
    directory->clear();
    *leaf = pattern;
  } else {
    *directory = pattern.substr(0, cut + 1);
    *leaf = pattern.substr(cut + 1);
  }
}

}  // namespace

FakeFileSystem::FakeFileSystem(MachineState& state) : state_(state) {}

FakeFileSystem::~FakeFileSystem() {
  heldHandles_.clear();
  for (FakeFile* file : liveFiles_) file->Orphan();
}

// ---- Paths and nodes -------------------------------------------------------

uint32_t FakeFileSystem::Parse(const std::string& path, bool redirect, ParsedPath* out) const {
  uint32_t error = ParsePath(path, state_.settings.currentDir, CodePage(), out);
  if (error == 0 && redirect) Redirect(out);
  return error;
}

// WOW64: "<windows>\system32\..." is "<windows>\SysWOW64\..." for a 32-bit
// process, unless the thread switched redirection off.
void FakeFileSystem::Redirect(ParsedPath* path) const {
  if (!state_.settings.wow64 || state_.redirectionDisabled) return;
  ParsedPath windows;
  if (ParsePath(state_.settings.windowsDir, "", CodePage(), &windows) != 0) return;
  size_t depth = windows.parts.size();
  if (windows.drive != path->drive || path->parts.size() <= depth) return;
  for (size_t i = 0; i < depth; ++i) {
    if (FoldAnsi(CodePage(), windows.parts[i]) != FoldAnsi(CodePage(), path->parts[i])) return;
  }
  if (FoldAnsi(CodePage(), path->parts[depth]) == "system32") path->parts[depth] = "SysWOW64";
}

std::shared_ptr<FileNode> FakeFileSystem::Root(char drive) const {
  auto type = state_.settings.driveTypes.find(drive);
  if (type == state_.settings.driveTypes.end() || !HasRoot(type->second)) return nullptr;
  const auto& roots = Roots();
  auto root = roots.find(drive);
  return root == roots.end() ? nullptr : root->second;
}

FakeFileSystem::Lookup FakeFileSystem::Find(const ParsedPath& path) const {
  Lookup result;
  std::shared_ptr<FileNode> node = Root(path.drive);
  if (node == nullptr) {
    result.error = win::kErrorPathNotFound;
    return result;
  }
  if (path.parts.empty()) {
    result.node = node;
    return result;
  }
  for (size_t i = 0; i + 1 < path.parts.size(); ++i) {
    auto child = node->children.find(FoldAnsi(CodePage(), path.parts[i]));
    if (child == node->children.end() || !child->second->directory) {
      result.error = win::kErrorPathNotFound;
      return result;
    }
    node = child->second;
  }
  result.parent = node;
  result.leaf = path.parts.back();
  auto leaf = node->children.find(FoldAnsi(CodePage(), result.leaf));
  if (leaf != node->children.end()) result.node = leaf->second;
  return result;
}

std::shared_ptr<FileNode> FakeFileSystem::MakeNode(const std::shared_ptr<FileNode>& parent,
                                                   const std::string& name, bool directory,
                                                   uint32_t attributes) {
  auto node = std::make_shared<FileNode>();
  node->name = name;
  node->directory = directory;
  node->attributes = attributes & kSettableAttributes;
  InheritAccess(*parent, *node);
  Attach(parent, node, FoldAnsi(CodePage(), name));
  return node;
}

std::shared_ptr<FileNode> FakeFileSystem::MakeDirectories(const ParsedPath& path) {
  std::shared_ptr<FileNode> node = Root(path.drive);
  for (const std::string& part : path.parts) {
    if (node == nullptr) return nullptr;
    auto child = node->children.find(FoldAnsi(CodePage(), part));
    if (child == node->children.end()) {
      node = MakeNode(node, part, true, 0);
    } else {
      node = child->second->directory ? child->second : nullptr;
    }
  }
  return node;
}

std::shared_ptr<FileNode> FakeFileSystem::FindNode(const std::string& path, bool redirect,
                                                   uint32_t* error) {
  ParsedPath parsed;
  *error = Parse(path, redirect, &parsed);
  if (*error != 0) return nullptr;
  Lookup found = Find(parsed);
  *error = found.error != 0 ? found.error : (found.node ? 0 : win::kErrorFileNotFound);
  return found.node;
}

// ---- Opening ---------------------------------------------------------------

uint32_t FakeFileSystem::CheckExisting(const FileNode& node, uint32_t access, uint32_t share,
                                       uint32_t disposition, uint32_t flags) const {
  if (node.deletePending) return win::kErrorAccessDenied;
  if (disposition == win::kCreateNew) return win::kErrorFileExists;
  bool replaces = disposition == win::kCreateAlways || disposition == kTruncateExisting;
  if (node.directory) {
    // A directory opens only with backup semantics, and is never truncated.
    if (!(flags & win::kFileFlagBackupSemantics) || replaces) return win::kErrorAccessDenied;
  } else {
    bool writes = WantsWrite(access) || replaces;
    if (disposition == kTruncateExisting && !WantsWrite(access)) {
      return win::kErrorInvalidParameter;
    }
    if (writes && (node.attributes & win::kAttributeReadOnly)) return win::kErrorAccessDenied;
    if (disposition == win::kCreateAlways && DropsHiddenOrSystem(node, flags)) {
      return win::kErrorAccessDenied;
    }
    // A mapped image refuses writers and deleters.
    if (node.moduleLoads > 0 && writes) return win::kErrorSharingViolation;
    if (node.moduleLoads > 0 && WantsDelete(access)) return win::kErrorAccessDenied;
  }
  for (const OpenRecord& open : node.opens) {
    if (SharingConflict(open, access, share)) return win::kErrorSharingViolation;
  }
  return win::kErrorSuccess;
}

std::optional<FakeFileSystem::Opened> FakeFileSystem::Open(const ParsedPath& path, uint32_t access,
                                                           uint32_t share, uint32_t disposition,
                                                           uint32_t flags) {
  if (disposition < win::kCreateNew || disposition > kTruncateExisting) {
    state_.Fail(win::kErrorInvalidParameter);
    return std::nullopt;
  }
  Lookup found = Find(path);
  if (found.error != 0) {
    state_.Fail(found.error);
    return std::nullopt;
  }
  std::shared_ptr<FileNode> node = found.node;
  uint32_t outcome = win::kErrorSuccess;
  if (node != nullptr) {
    uint32_t error = CheckExisting(*node, access, share, disposition, flags);
    if (error != 0) {
      state_.Fail(error);
      return std::nullopt;
    }
    if (disposition == win::kCreateAlways || disposition == kTruncateExisting) node->data.clear();
    if (disposition == win::kCreateAlways) {
      node->attributes = (flags & kSettableAttributes) | win::kAttributeArchive;
    }
    if (disposition == win::kCreateAlways || disposition == win::kOpenAlways) {
      outcome = win::kErrorAlreadyExists;
    }
  } else {
    if (disposition == win::kOpenExisting || disposition == kTruncateExisting) {
      state_.Fail(win::kErrorFileNotFound);
      return std::nullopt;
    }
    node = MakeNode(found.parent, found.leaf, false, flags | win::kAttributeArchive);
  }
  OpenRecord record{nextOpenId_++, access, share};
  node->opens.push_back(record);
  state_.lastError = outcome;
  return Opened{node, record};
}

std::unique_ptr<FakeFile> FakeFileSystem::Wrap(const Opened& opened, const std::string& path) {
  auto file = std::make_unique<FakeFile>(this, opened.node, opened.record, path);
  liveFiles_.insert(file.get());
  return file;
}

void FakeFileSystem::Forget(FakeFile* file) { liveFiles_.erase(file); }

uint64_t FakeFileSystem::TakeDiskSpace(uint64_t wanted) {
  if (!diskSpace_) return wanted;
  uint64_t granted = std::min(wanted, *diskSpace_);
  *diskSpace_ -= granted;
  return granted;
}

// ---- platform::FileSystem --------------------------------------------------

std::unique_ptr<platform::File> FakeFileSystem::CreateFileA(const std::string& path,
                                                            uint32_t access, uint32_t share,
                                                            uint32_t disposition, uint32_t flags) {
  ParsedPath parsed;
  uint32_t error = Parse(path, true, &parsed);
  if (state_.Injected("CreateFileA", {path, Shown(parsed, error)})) return nullptr;
  if (error != 0) {
    state_.Fail(error);
    return nullptr;
  }
  std::optional<Opened> opened = Open(parsed, access, share, disposition, flags);
  if (!opened) return nullptr;
  return Wrap(*opened, FormatPath(parsed));
}

bool FakeFileSystem::DeleteFileA(const std::string& path) {
  ParsedPath parsed;
  uint32_t error = Parse(path, true, &parsed);
  if (state_.Injected("DeleteFileA", {path, Shown(parsed, error)})) return false;
  if (error != 0) return state_.Fail(error);
  Lookup found = Find(parsed);
  if (found.error != 0) return state_.Fail(found.error);
  if (found.node == nullptr) return state_.Fail(win::kErrorFileNotFound);
  FileNode& node = *found.node;
  if (node.directory || node.deletePending) return state_.Fail(win::kErrorAccessDenied);
  if (DeleteBlocked(node)) return state_.Fail(win::kErrorSharingViolation);
  if ((node.attributes & win::kAttributeReadOnly) || node.moduleLoads > 0) {
    return state_.Fail(win::kErrorAccessDenied);
  }
  if (node.opens.empty()) {
    Detach(node);
  } else {
    node.deletePending = true;
  }
  return true;
}

uint32_t FakeFileSystem::CheckMove(const Lookup& from, const Lookup& to, const ParsedPath& fromPath,
                                   const ParsedPath& toPath) const {
  const FileNode& node = *from.node;
  if (from.parent == nullptr || to.parent == nullptr || node.deletePending) {
    return win::kErrorAccessDenied;
  }
  if (to.node != nullptr && to.node != from.node) return win::kErrorAlreadyExists;
  if (node.directory) {
    if (fromPath.drive != toPath.drive) return kErrorNotSameDevice;
    if (IsInside(from.node, to.parent)) return win::kErrorSharingViolation;
    if (InUseBelow(node)) return win::kErrorAccessDenied;
  }
  // A rename opens the file for deletion; a loaded module does not object.
  if (DeleteBlocked(node)) return win::kErrorSharingViolation;
  return win::kErrorSuccess;
}

bool FakeFileSystem::MoveFileA(const std::string& from, const std::string& to) {
  ParsedPath fromPath;
  ParsedPath toPath;
  uint32_t fromError = Parse(from, true, &fromPath);
  uint32_t toError = Parse(to, true, &toPath);
  if (state_.Injected("MoveFileA",
                      {from, to, Shown(fromPath, fromError), Shown(toPath, toError)})) {
    return false;
  }
  if (fromError != 0 || toError != 0) return state_.Fail(fromError != 0 ? fromError : toError);
  Lookup source = Find(fromPath);
  if (source.error != 0) return state_.Fail(source.error);
  if (source.node == nullptr) return state_.Fail(win::kErrorFileNotFound);
  Lookup target = Find(toPath);
  if (target.error != 0) return state_.Fail(target.error);
  uint32_t error = CheckMove(source, target, fromPath, toPath);
  if (error != 0) return state_.Fail(error);
  std::shared_ptr<FileNode> node = source.node;
  Detach(*node);
  node->name = target.leaf;
  Attach(target.parent, node, FoldAnsi(CodePage(), target.leaf));
  return true;
}

bool FakeFileSystem::CopyFileA(const std::string& from, const std::string& to, bool failIfExists) {
  ParsedPath fromPath;
  ParsedPath toPath;
  uint32_t fromError = Parse(from, true, &fromPath);
  uint32_t toError = Parse(to, true, &toPath);
  if (state_.Injected("CopyFileA",
                      {from, to, Shown(fromPath, fromError), Shown(toPath, toError)})) {
    return false;
  }
  if (fromError != 0 || toError != 0) return state_.Fail(fromError != 0 ? fromError : toError);
  std::optional<Opened> source =
      Open(fromPath, win::kGenericRead, win::kFileShareRead, win::kOpenExisting, 0);
  if (!source) return false;
  std::unique_ptr<FakeFile> sourceFile = Wrap(*source, FormatPath(fromPath));
  // The copy is created with the source's attributes, which also decides
  // whether a hidden or system target may be replaced.
  uint32_t attributes = source->node->attributes & kSettableAttributes;
  std::optional<Opened> target =
      Open(toPath, win::kGenericWrite, win::kFileShareRead | win::kFileShareWrite,
           failIfExists ? win::kCreateNew : win::kCreateAlways, attributes);
  if (!target) return false;
  std::unique_ptr<FakeFile> targetFile = Wrap(*target, FormatPath(toPath));
  const std::vector<uint8_t>& bytes = source->node->data;
  if (TakeDiskSpace(bytes.size()) < bytes.size()) {
    // Windows removes the incomplete copy.
    targetFile.reset();
    if (target->node->opens.empty()) Detach(*target->node);
    return state_.Fail(win::kErrorDiskFull);
  }
  target->node->data = bytes;
  state_.lastError = win::kErrorSuccess;
  return true;
}

uint32_t FakeFileSystem::GetFileAttributesA(const std::string& path) {
  ParsedPath parsed;
  uint32_t error = Parse(path, true, &parsed);
  if (state_.Injected("GetFileAttributesA", {path, Shown(parsed, error)})) {
    return win::kInvalidFileAttributes;
  }
  Lookup found;
  if (error == 0) found = Find(parsed);
  if (error == 0) error = found.error;
  if (error == 0 && found.node == nullptr) error = win::kErrorFileNotFound;
  if (error == 0 && found.node->deletePending) error = win::kErrorAccessDenied;
  if (error != 0) {
    state_.Fail(error);
    return win::kInvalidFileAttributes;
  }
  return Reported(*found.node);
}

bool FakeFileSystem::SetFileAttributesA(const std::string& path, uint32_t attributes) {
  ParsedPath parsed;
  uint32_t error = Parse(path, true, &parsed);
  if (state_.Injected("SetFileAttributesA", {path, Shown(parsed, error)})) return false;
  if (error != 0) return state_.Fail(error);
  Lookup found = Find(parsed);
  if (found.error != 0) return state_.Fail(found.error);
  if (found.node == nullptr) return state_.Fail(win::kErrorFileNotFound);
  if (found.node->deletePending) return state_.Fail(win::kErrorAccessDenied);
  found.node->attributes = attributes & kSettableAttributes;
  return true;
}

bool FakeFileSystem::CreateDirectoryA(const std::string& path) {
  ParsedPath parsed;
  uint32_t error = Parse(path, true, &parsed);
  if (state_.Injected("CreateDirectoryA", {path, Shown(parsed, error)})) return false;
  if (error != 0) return state_.Fail(error);
  Lookup found = Find(parsed);
  if (found.error != 0) return state_.Fail(found.error);
  if (found.node != nullptr) return state_.Fail(win::kErrorAlreadyExists);
  MakeNode(found.parent, found.leaf, true, 0);
  return true;
}

bool FakeFileSystem::FindFilesA(const std::string& pattern, std::vector<std::string>* names) {
  names->clear();
  std::string directory;
  std::string leaf;
  SplitPattern(CodePage(), pattern, &directory, &leaf);
  ParsedPath parsed;
  uint32_t error = Parse(directory.empty() ? state_.settings.currentDir : directory, true, &parsed);
  if (state_.Injected("FindFirstFileA", {pattern, Shown(parsed, error)})) return false;
  if (error != 0) return state_.Fail(error);
  if (leaf.empty()) return state_.Fail(win::kErrorFileNotFound);
  if (!ValidPattern(CodePage(), leaf)) return state_.Fail(kErrorInvalidName);
  Lookup found = Find(parsed);
  if (found.error != 0) return state_.Fail(found.error);
  if (found.node == nullptr || !found.node->directory) return state_.Fail(win::kErrorPathNotFound);
  if (found.node->deletePending) return state_.Fail(win::kErrorAccessDenied);
  // A drive's root has no "." and ".." entries.
  if (!parsed.parts.empty()) {
    for (const char* dots : {".", ".."}) {
      if (NameMatches(CodePage(), dots, leaf)) names->push_back(dots);
    }
  }
  for (const auto& [key, child] : found.node->children) {
    if (NameMatches(CodePage(), child->name, leaf)) names->push_back(child->name);
  }
  if (names->empty()) return state_.Fail(win::kErrorFileNotFound);
  return true;
}

bool FakeFileSystem::SetCurrentDirectoryA(const std::string& path) {
  ParsedPath parsed;
  uint32_t error = Parse(path, true, &parsed);
  if (state_.Injected("SetCurrentDirectoryA", {path, Shown(parsed, error)})) return false;
  if (error != 0) return state_.Fail(error);
  Lookup found = Find(parsed);
  if (found.error != 0) return state_.Fail(found.error);
  if (found.node == nullptr) return state_.Fail(win::kErrorFileNotFound);
  if (!found.node->directory) return state_.Fail(kErrorDirectory);
  if (found.node->deletePending) return state_.Fail(win::kErrorAccessDenied);
  // The path as given, made full; redirection applies only when it is used.
  ParsedPath kept;
  Parse(path, false, &kept);
  state_.settings.currentDir = FormatPath(kept);
  return true;
}

uint32_t FakeFileSystem::GetDriveTypeA(const std::string& root) {
  ++driveTypeQueries_;
  char letter = 0;
  if (root.empty()) {
    ParsedPath current;
    if (ParsePath(state_.settings.currentDir, "", CodePage(), &current) == 0) {
      letter = current.drive;
    }
  } else if (root.size() >= 2 && root.size() <= 3 && IsLetter(root[0]) && root[1] == ':' &&
             (root.size() == 2 || root[2] == '\\' || root[2] == '/')) {
    letter = UpperLetter(root[0]);
  }
  auto type = state_.settings.driveTypes.find(letter);
  return type == state_.settings.driveTypes.end() ? win::kDriveNoRootDir : type->second;
}

// The old value is the previous state itself, as on Windows: null when
// redirection was on, non-null when it was off.
bool FakeFileSystem::DisableFsRedirection(void** oldValue) {
  if (oldValue == nullptr) return state_.Fail(win::kErrorInvalidParameter);
  *oldValue = state_.redirectionDisabled ? reinterpret_cast<void*>(uintptr_t{1}) : nullptr;
  if (state_.settings.wow64) state_.redirectionDisabled = true;
  ++disables_;
  return true;
}

bool FakeFileSystem::RevertFsRedirection(void* oldValue) {
  if (state_.settings.wow64) state_.redirectionDisabled = oldValue != nullptr;
  ++reverts_;
  return true;
}

uint32_t FakeFileSystem::LastError() { return state_.lastError; }

// ---- Settings --------------------------------------------------------------

void FakeFileSystem::SetDriveType(char letter, uint32_t type) {
  if (!IsLetter(letter)) return;
  char drive = UpperLetter(letter);
  state_.settings.driveTypes[drive] = type;
  auto& roots = Roots();
  if (HasRoot(type) && roots.count(drive) == 0) {
    auto root = std::make_shared<FileNode>();
    root->name = std::string{drive, ':'};
    root->directory = true;
    roots[drive] = root;
  }
}

void FakeFileSystem::CopyDrivesFrom(const FakeFileSystem& other) {
  roots_.clear();
  copyOf_ = &other;
}

std::map<char, std::shared_ptr<FileNode>>& FakeFileSystem::Roots() const {
  if (copyOf_ != nullptr) {
    const FakeFileSystem& other = *copyOf_;
    copyOf_ = nullptr;
    for (const auto& [drive, root] : other.Roots()) roots_[drive] = CopyTree(*root);
  }
  return roots_;
}

void FakeFileSystem::SetCurrentDirectory(const std::string& path) {
  state_.settings.currentDir = path;
}

void FakeFileSystem::SetWow64(bool wow64) {
  state_.settings.wow64 = wow64;
  if (!wow64) state_.redirectionDisabled = false;
}

// ---- Test-facing access ----------------------------------------------------

bool FakeFileSystem::AddFile(const std::string& path, const std::string& bytes,
                             uint32_t attributes) {
  return AddFile(path, std::vector<uint8_t>(bytes.begin(), bytes.end()), attributes);
}

bool FakeFileSystem::AddFile(const std::string& path, const std::vector<uint8_t>& bytes,
                             uint32_t attributes) {
  ParsedPath parsed;
  if (Parse(path, false, &parsed) != 0 || parsed.parts.empty()) return false;
  std::string leaf = parsed.parts.back();
  parsed.parts.pop_back();
  std::shared_ptr<FileNode> parent = MakeDirectories(parsed);
  if (parent == nullptr) return false;
  auto existing = parent->children.find(FoldAnsi(CodePage(), leaf));
  std::shared_ptr<FileNode> node;
  if (existing == parent->children.end()) {
    node = MakeNode(parent, leaf, false, attributes);
  } else if (!existing->second->directory) {
    node = existing->second;
    node->attributes = attributes & kSettableAttributes;
  } else {
    return false;
  }
  node->data = bytes;
  return true;
}

bool FakeFileSystem::AddDirectory(const std::string& path) {
  ParsedPath parsed;
  return Parse(path, false, &parsed) == 0 && MakeDirectories(parsed) != nullptr;
}

bool FakeFileSystem::RemovePath(const std::string& path) {
  ParsedPath parsed;
  if (Parse(path, false, &parsed) != 0) return false;
  Lookup found = Find(parsed);
  if (found.node == nullptr || found.parent == nullptr) return false;
  Detach(*found.node);
  return true;
}

std::optional<std::vector<uint8_t>> FakeFileSystem::ReadFile(const std::string& path) const {
  ParsedPath parsed;
  if (Parse(path, false, &parsed) != 0) return std::nullopt;
  Lookup found = Find(parsed);
  if (found.node == nullptr || found.node->directory) return std::nullopt;
  return found.node->data;
}

std::optional<std::string> FakeFileSystem::ReadText(const std::string& path) const {
  std::optional<std::vector<uint8_t>> bytes = ReadFile(path);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

bool FakeFileSystem::Exists(const std::string& path) const {
  ParsedPath parsed;
  return Parse(path, false, &parsed) == 0 && Find(parsed).node != nullptr;
}

uint32_t FakeFileSystem::Attributes(const std::string& path) const {
  ParsedPath parsed;
  if (Parse(path, false, &parsed) != 0) return win::kInvalidFileAttributes;
  Lookup found = Find(parsed);
  return found.node == nullptr ? win::kInvalidFileAttributes : Reported(*found.node);
}

bool FakeFileSystem::SetStoredAttributes(const std::string& path, uint32_t attributes) {
  ParsedPath parsed;
  if (Parse(path, false, &parsed) != 0) return false;
  Lookup found = Find(parsed);
  if (found.node == nullptr) return false;
  found.node->attributes = attributes & ~win::kAttributeDirectory;
  return true;
}

std::vector<std::string> FakeFileSystem::ListDirectory(const std::string& path) const {
  std::vector<std::string> names;
  ParsedPath parsed;
  if (Parse(path, false, &parsed) != 0) return names;
  Lookup found = Find(parsed);
  if (found.node == nullptr || !found.node->directory) return names;
  for (const auto& [key, child] : found.node->children) names.push_back(child->name);
  return names;
}

std::vector<TreeEntry> FakeFileSystem::ListTree(const std::string& path) const {
  std::vector<TreeEntry> entries;
  ParsedPath parsed;
  if (Parse(path, false, &parsed) != 0) return entries;
  Lookup found = Find(parsed);
  if (found.node == nullptr || !found.node->directory) return entries;
  std::string prefix = FormatPath(parsed);
  AppendTree(*found.node, &prefix, &entries);
  return entries;
}

uint32_t FakeFileSystem::OpenHandle(const std::string& path, uint32_t access, uint32_t share) {
  ParsedPath parsed;
  uint32_t error = Parse(path, false, &parsed);
  if (error != 0) {
    state_.Fail(error);
    return 0;
  }
  std::optional<Opened> opened =
      Open(parsed, access, share, win::kOpenExisting, win::kFileFlagBackupSemantics);
  if (!opened) return 0;
  uint32_t handle = nextHeldHandle_++;
  heldHandles_[handle] = Wrap(*opened, FormatPath(parsed));
  return handle;
}

bool FakeFileSystem::ReleaseHandle(uint32_t handle) { return heldHandles_.erase(handle) > 0; }

bool FakeFileSystem::LoadModule(const std::string& path) {
  ParsedPath parsed;
  if (Parse(path, false, &parsed) != 0) return false;
  Lookup found = Find(parsed);
  if (found.node == nullptr || found.node->directory) return false;
  ++found.node->moduleLoads;
  return true;
}

bool FakeFileSystem::UnloadModule(const std::string& path) {
  ParsedPath parsed;
  if (Parse(path, false, &parsed) != 0) return false;
  Lookup found = Find(parsed);
  if (found.node == nullptr || found.node->moduleLoads == 0) return false;
  --found.node->moduleLoads;
  return true;
}

bool FakeFileSystem::IsModuleLoaded(const std::string& path) const {
  ParsedPath parsed;
  if (Parse(path, false, &parsed) != 0) return false;
  Lookup found = Find(parsed);
  return found.node != nullptr && found.node->moduleLoads > 0;
}

void FakeFileSystem::SetDiskFullAfter(uint64_t bytes) { diskSpace_ = bytes; }

void FakeFileSystem::ClearDiskFull() { diskSpace_.reset(); }

size_t FakeFileSystem::OpenFileCount() const { return liveFiles_.size() - heldHandles_.size(); }

}  // namespace zv::fake
