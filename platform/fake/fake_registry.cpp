#include "platform/fake/fake_registry.h"

#include <algorithm>
#include <utility>

#include "platform/ascii_case.h"
#include "platform/fake/code_page.h"
#include "platform/win_constants.h"

namespace zv::fake {
namespace {

using platform::RegKey;

constexpr uint32_t kErrorBadPathname = 161;
constexpr uint32_t kErrorKeyDeleted = 1018;
constexpr uint32_t kRegMultiSz = 7;
constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kMaximumAllowed = 0x02000000;
// The predefined keys that hold their own tree (HKCR is a view into HKLM).
constexpr RegKey kStoredRoots[] = {platform::kHkeyCurrentUser, platform::kHkeyLocalMachine,
                                   platform::kHkeyUsers};

bool IsString(uint32_t type) {
  return type == win::kRegSz || type == win::kRegExpandSz || type == kRegMultiSz;
}

// Generic rights mean what they mean for keys.
uint32_t MapAccess(uint32_t access) {
  uint32_t mapped = access & 0x00FFFFFF & ~kMaximumAllowed;
  if (access & win::kGenericRead) mapped |= win::kKeyRead;
  if (access & win::kGenericWrite) mapped |= win::kKeyWrite;
  if (access & (kGenericAll | kMaximumAllowed)) mapped |= win::kKeyAllAccess;
  return mapped;
}

const char* RootName(RegKey root) {
  switch (root) {
    case platform::kHkeyClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case platform::kHkeyCurrentUser:
      return "HKEY_CURRENT_USER";
    case platform::kHkeyLocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case platform::kHkeyUsers:
      return "HKEY_USERS";
    default:
      return "";
  }
}

// Checks a subkey path made of names separated by '\'. A leading separator
// or an empty name inside the path is an error; one trailing separator is
// allowed.
uint32_t CheckKeyPath(std::u16string_view path) {
  for (size_t start = 0; start < path.size();) {
    const size_t end = path.find(u'\\', start);
    if (end == start) return kErrorBadPathname;
    if (end == std::u16string_view::npos) break;
    start = end + 1;
  }
  return win::kErrorSuccess;
}

// Calls `visit` with each name of a path that CheckKeyPath accepted.
template <typename Visit>
void ForEachKeyName(std::u16string_view path, Visit visit) {
  for (size_t start = 0; start < path.size();) {
    const size_t end = std::min(path.find(u'\\', start), path.size());
    visit(path.substr(start, end - start));
    start = end + 1;
  }
}

std::vector<uint8_t> StringBytes(const std::u16string& text) {
  std::string bytes = Utf16ToBytes(text);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// The text of a string value up to its first terminating zero.
std::u16string StringOf(const RegValue& value) {
  std::u16string text = BytesToUtf16(
      std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size()));
  size_t end = text.find(u'\0');
  return end == std::u16string::npos ? text : text.substr(0, end);
}

}  // namespace

FakeRegistry::FakeRegistry(MachineState& state) : state_(state) {}

void FakeRegistry::AliasClassesRoot() const {
  roots_[platform::kHkeyClassesRoot] =
      Walk(roots_[platform::kHkeyLocalMachine], u"Software\\Classes", Walking::kCreate);
}

bool FakeRegistry::FoldedOrder::operator()(const std::u16string& folded, Unfolded name) const {
  return CompareFolded(folded, name.text) < 0;
}

bool FakeRegistry::FoldedOrder::operator()(Unfolded name, const std::u16string& folded) const {
  return CompareFolded(folded, name.text) > 0;
}

void FakeRegistry::Share(KeyNode& key) {
  if (key.shared) return;
  key.shared = true;
  for (const auto& [folded, child] : key.subKeys) Share(*child);
}

void FakeRegistry::Own(std::shared_ptr<KeyNode>& slot) {
  if (!slot->shared) return;
  auto copy = std::make_shared<KeyNode>();
  copy->name = slot->name;
  copy->subKeys = slot->subKeys;
  copy->values = slot->values;
  slot = std::move(copy);
}

void FakeRegistry::CopyKeysFrom(const FakeRegistry& other) {
  roots_.clear();
  copyOf_ = &other;
}

std::map<RegKey, std::shared_ptr<FakeRegistry::KeyNode>>& FakeRegistry::Roots() const {
  if (roots_.empty()) {
    const FakeRegistry* other = copyOf_;
    copyOf_ = nullptr;
    for (RegKey root : kStoredRoots) {
      std::shared_ptr<KeyNode>& mine = roots_[root];
      if (other == nullptr) {
        mine = std::make_shared<KeyNode>();
        continue;
      }
      mine = other->Roots().at(root);
      Share(*mine);
      Own(mine);
    }
    AliasClassesRoot();
  }
  return roots_;
}

std::u16string FakeRegistry::Wide(const std::string& text) const {
  return AnsiToUtf16(state_.settings.ansiCodePage, text);
}

std::string FakeRegistry::Narrow(const std::u16string& text) const {
  return Utf16ToAnsi(state_.settings.ansiCodePage, text);
}

// ---- Keys and handles ------------------------------------------------------

std::optional<FakeRegistry::KeyRef> FakeRegistry::Resolve(RegKey key) const {
  const auto& roots = Roots();
  auto root = roots.find(key);
  if (root != roots.end()) return KeyRef{&root->second, win::kKeyAllAccess, RootName(key)};
  if (key == 0) return std::nullopt;
  for (const HandleSlot& slot : handles_) {
    if (slot.handle == key) return KeyRef{&slot.key.node, slot.key.access, slot.key.path};
  }
  return std::nullopt;
}

FakeRegistry::HandleSlot& FakeRegistry::FreeSlot() {
  for (HandleSlot& slot : handles_) {
    if (slot.handle == 0) return slot;
  }
  return handles_.emplace_back();
}

std::shared_ptr<FakeRegistry::KeyNode> FakeRegistry::Walk(const std::shared_ptr<KeyNode>& root,
                                                          std::u16string_view path,
                                                          Walking walking) {
  if (root == nullptr || CheckKeyPath(path) != 0) return nullptr;
  const std::shared_ptr<KeyNode>* node = &root;
  bool found = true;
  ForEachKeyName(path, [&](std::u16string_view part) {
    if (!found) return;
    auto& subKeys = (*node)->subKeys;
    auto child = subKeys.find(Unfolded{part});
    if (child == subKeys.end()) {
      if (walking != Walking::kCreate) {
        found = false;
        return;
      }
      auto created = std::make_shared<KeyNode>();
      created->name = part;
      child = subKeys.emplace(FoldUtf16(part), std::move(created)).first;
    }
    if (walking != Walking::kLook) Own(child->second);
    node = &child->second;
  });
  return found ? *node : nullptr;
}

std::shared_ptr<FakeRegistry::KeyNode> FakeRegistry::TestKey(RegKey root,
                                                             const std::u16string& path,
                                                             Walking walking) const {
  const auto& roots = Roots();
  auto node = roots.find(root);
  return node == roots.end() ? nullptr : Walk(node->second, path, walking);
}

uint32_t FakeRegistry::CheckKey(const std::optional<KeyRef>& key, uint32_t right) {
  if (!key) return win::kErrorInvalidHandle;
  if ((*key)->deleted) return kErrorKeyDeleted;
  if ((key->access & right) != right) return win::kErrorAccessDenied;
  return win::kErrorSuccess;
}

std::optional<uint32_t> FakeRegistry::Injected(std::string_view operation, RegKey key,
                                               const std::string& name) {
  std::optional<KeyRef> open = Resolve(key);
  subject_.assign(open ? open->path : std::string_view());
  subject_ += '\\';
  subject_ += name;
  return state_.faults.Check(operation, {subject_});
}

FakeRegistry::StoredValue* FakeRegistry::FindValue(KeyNode& key, std::u16string_view name) {
  for (StoredValue& stored : key.values) {
    if (EqualsIgnoreAsciiCase<char16_t>(stored.name, name)) return &stored;
  }
  return nullptr;
}

uint32_t FakeRegistry::OpenOrCreate(std::string_view operation, RegKey parent,
                                    const std::u16string& subKey, const std::string& shownSubKey,
                                    uint32_t access, bool create, RegKey* out) {
  if (std::optional<uint32_t> error = Injected(operation, parent, shownSubKey)) return *error;
  if (out == nullptr) return win::kErrorInvalidParameter;
  *out = 0;
  HandleSlot& slot = FreeSlot();
  std::optional<KeyRef> base = Resolve(parent);
  if (uint32_t error = CheckKey(base, 0)) return error;
  if (uint32_t error = CheckKeyPath(subKey)) return error;
  std::shared_ptr<KeyNode> node =
      Walk(*base->node, subKey, create ? Walking::kCreate : Walking::kChange);
  if (node == nullptr) return win::kErrorFileNotFound;
  RegKey handle = nextHandle_;
  nextHandle_ += 4;
  slot.key.path.assign(base->path);
  if (!shownSubKey.empty()) {
    slot.key.path += '\\';
    slot.key.path += shownSubKey;
  }
  slot.key.node = std::move(node);
  slot.key.access = MapAccess(access);
  slot.handle = handle;
  ++openKeys_;
  *out = handle;
  return win::kErrorSuccess;
}

// ---- platform::Registry ----------------------------------------------------

uint32_t FakeRegistry::RegOpenKeyExA(RegKey parent, const std::string& subKey, uint32_t access,
                                     RegKey* out) {
  return OpenOrCreate("RegOpenKeyExA", parent, Wide(subKey), subKey, access, false, out);
}

uint32_t FakeRegistry::RegOpenKeyExW(RegKey parent, const std::u16string& subKey, uint32_t access,
                                     RegKey* out) {
  return OpenOrCreate("RegOpenKeyExW", parent, subKey, Narrow(subKey), access, false, out);
}

uint32_t FakeRegistry::RegCreateKeyExA(RegKey parent, const std::string& subKey, uint32_t access,
                                       RegKey* out) {
  return OpenOrCreate("RegCreateKeyExA", parent, Wide(subKey), subKey, access, true, out);
}

uint32_t FakeRegistry::RegCreateKeyExW(RegKey parent, const std::u16string& subKey, uint32_t access,
                                       RegKey* out) {
  return OpenOrCreate("RegCreateKeyExW", parent, subKey, Narrow(subKey), access, true, out);
}

uint32_t FakeRegistry::RegCloseKey(RegKey key) {
  if (Roots().count(key) > 0) return win::kErrorSuccess;
  for (HandleSlot& slot : handles_) {
    if (key == 0 || slot.handle != key) continue;
    slot.handle = 0;
    slot.key.node.reset();
    --openKeys_;
    return win::kErrorSuccess;
  }
  return win::kErrorInvalidHandle;
}

uint32_t FakeRegistry::RegQueryInfoKeyA(RegKey key, uint32_t* subKeys, uint32_t* maxSubKeyLength) {
  if (std::optional<uint32_t> error = Injected("RegQueryInfoKeyA", key, "")) return *error;
  std::optional<KeyRef> open = Resolve(key);
  if (uint32_t error = CheckKey(open, win::kKeyQueryValue)) return error;
  size_t longest = 0;
  for (const auto& [folded, child] : (*open)->subKeys) {
    longest = std::max(longest, child->name.size());  // in UTF-16 characters
  }
  if (subKeys != nullptr) *subKeys = static_cast<uint32_t>((*open)->subKeys.size());
  if (maxSubKeyLength != nullptr) *maxSubKeyLength = static_cast<uint32_t>(longest);
  return win::kErrorSuccess;
}

uint32_t FakeRegistry::RegEnumKeyExA(RegKey key, uint32_t index, std::string* name) {
  if (std::optional<uint32_t> error = Injected("RegEnumKeyExA", key, "")) return *error;
  std::optional<KeyRef> open = Resolve(key);
  if (uint32_t error = CheckKey(open, win::kKeyEnumerateSubKeys)) return error;
  if (name == nullptr) return win::kErrorInvalidParameter;
  const auto& subKeys = (*open)->subKeys;
  if (index >= subKeys.size()) return win::kErrorNoMoreItems;
  *name = Narrow(std::next(subKeys.begin(), index)->second->name);
  return win::kErrorSuccess;
}

uint32_t FakeRegistry::RegQueryValueExA(RegKey key, const std::string& name, uint32_t* type,
                                        std::vector<uint8_t>* data, uint32_t capacity) {
  if (std::optional<uint32_t> error = Injected("RegQueryValueExA", key, name)) return *error;
  std::optional<KeyRef> open = Resolve(key);
  if (uint32_t error = CheckKey(open, win::kKeyQueryValue)) return error;
  const StoredValue* stored = FindValue(**open->node, Wide(name));
  if (stored == nullptr) return win::kErrorFileNotFound;
  const std::vector<uint8_t>& storedBytes = stored->value.data;
  // A string is given in the code page; other values as they are stored.
  std::string_view bytes(reinterpret_cast<const char*>(storedBytes.data()), storedBytes.size());
  std::string text;
  if (IsString(stored->value.type)) {
    text = Narrow(BytesToUtf16(bytes));
    bytes = text;
  }
  if (type != nullptr) *type = stored->value.type;
  if (data == nullptr) return win::kErrorSuccess;
  if (bytes.size() > capacity) {
    data->clear();
    return win::kErrorMoreData;
  }
  data->assign(bytes.begin(), bytes.end());
  return win::kErrorSuccess;
}

uint32_t FakeRegistry::SetStored(RegKey key, const std::u16string& name, const std::string& shown,
                                 uint32_t type, const void* data, uint32_t size, bool ansi,
                                 std::string_view operation) {
  if (std::optional<uint32_t> error = Injected(operation, key, shown)) return *error;
  std::optional<KeyRef> open = Resolve(key);
  if (uint32_t error = CheckKey(open, win::kKeySetValue)) return error;
  if (data == nullptr && size > 0) return win::kErrorInvalidParameter;
  const uint8_t* begin = static_cast<const uint8_t*>(data);
  RegValue value{type, std::vector<uint8_t>(begin, begin + size)};
  if (ansi && IsString(type)) {
    value.data = StringBytes(Wide(std::string(value.data.begin(), value.data.end())));
  }
  if (StoredValue* stored = FindValue(**open->node, name)) {
    stored->value = std::move(value);
  } else {
    (*open)->values.push_back(StoredValue{name, std::move(value)});
  }
  return win::kErrorSuccess;
}

uint32_t FakeRegistry::RegSetValueExA(RegKey key, const std::string& name, uint32_t type,
                                      const void* data, uint32_t size) {
  return SetStored(key, Wide(name), name, type, data, size, true, "RegSetValueExA");
}

uint32_t FakeRegistry::RegSetValueExW(RegKey key, const std::u16string& name, uint32_t type,
                                      const void* data, uint32_t size) {
  return SetStored(key, name, Narrow(name), type, data, size, false, "RegSetValueExW");
}

uint32_t FakeRegistry::RegDeleteValueA(RegKey key, const std::string& name) {
  if (std::optional<uint32_t> error = Injected("RegDeleteValueA", key, name)) return *error;
  std::optional<KeyRef> open = Resolve(key);
  if (uint32_t error = CheckKey(open, win::kKeySetValue)) return error;
  std::vector<StoredValue>& values = (*open)->values;
  StoredValue* stored = FindValue(**open->node, Wide(name));
  if (stored == nullptr) return win::kErrorFileNotFound;
  values.erase(values.begin() + (stored - values.data()));
  return win::kErrorSuccess;
}

uint32_t FakeRegistry::RegDeleteKeyA(RegKey parent, const std::string& subKey) {
  if (std::optional<uint32_t> error = Injected("RegDeleteKeyA", parent, subKey)) return *error;
  std::optional<KeyRef> base = Resolve(parent);
  if (uint32_t error = CheckKey(base, 0)) return error;
  const std::u16string wide = Wide(subKey);
  if (uint32_t error = CheckKeyPath(wide)) return error;
  std::u16string_view path = wide;
  if (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
  if (path.empty()) return win::kErrorInvalidParameter;
  const size_t split = path.find_last_of(u'\\');
  const std::u16string_view leaf =
      split == std::u16string_view::npos ? path : path.substr(split + 1);
  std::shared_ptr<KeyNode> node = split == std::u16string_view::npos
                                      ? *base->node
                                      : Walk(*base->node, path.substr(0, split), Walking::kChange);
  if (node == nullptr) return win::kErrorFileNotFound;
  auto target = node->subKeys.find(Unfolded{leaf});
  if (target == node->subKeys.end()) return win::kErrorFileNotFound;
  // Windows deletes only keys without subkeys. A shared key is held by no
  // handle of this registry, which would have made it its own.
  if (!target->second->subKeys.empty()) return win::kErrorAccessDenied;
  if (!target->second->shared) target->second->deleted = true;
  node->subKeys.erase(target);
  return win::kErrorSuccess;
}

// ---- Test-facing access ----------------------------------------------------

bool FakeRegistry::CreateKey(RegKey root, const std::u16string& path) {
  return TestKey(root, path, Walking::kCreate) != nullptr;
}

bool FakeRegistry::CreateKey(RegKey root, const std::string& path) {
  return CreateKey(root, Wide(path));
}

bool FakeRegistry::KeyExists(RegKey root, const std::u16string& path) const {
  return TestKey(root, path, Walking::kLook) != nullptr;
}

bool FakeRegistry::KeyExists(RegKey root, const std::string& path) const {
  return KeyExists(root, Wide(path));
}

bool FakeRegistry::SetValue(RegKey root, const std::u16string& path, const std::u16string& name,
                            uint32_t type, const std::vector<uint8_t>& data) {
  std::shared_ptr<KeyNode> key = TestKey(root, path, Walking::kCreate);
  if (key == nullptr) return false;
  if (StoredValue* stored = FindValue(*key, name)) {
    stored->value = RegValue{type, data};
  } else {
    key->values.push_back(StoredValue{name, RegValue{type, data}});
  }
  return true;
}

bool FakeRegistry::SetValue(RegKey root, const std::string& path, const std::string& name,
                            uint32_t type, const std::vector<uint8_t>& data) {
  return SetValue(root, Wide(path), Wide(name), type, data);
}

bool FakeRegistry::SetString(RegKey root, const std::u16string& path, const std::u16string& name,
                             const std::u16string& text) {
  return SetValue(root, path, name, win::kRegSz, StringBytes(text + u'\0'));
}

bool FakeRegistry::SetString(RegKey root, const std::string& path, const std::string& name,
                             const std::string& text) {
  return SetString(root, Wide(path), Wide(name), Wide(text));
}

bool FakeRegistry::SetValueA(RegKey root, const std::string& path, const std::string& name,
                             uint32_t type, std::string_view bytes) {
  const std::vector<uint8_t> data = IsString(type)
                                        ? StringBytes(Wide(std::string(bytes)))
                                        : std::vector<uint8_t>(bytes.begin(), bytes.end());
  return SetValue(root, Wide(path), Wide(name), type, data);
}

bool FakeRegistry::SetDword(RegKey root, const std::string& path, const std::string& name,
                            uint32_t value) {
  std::vector<uint8_t> bytes{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                             static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return SetValue(root, path, name, win::kRegDword, bytes);
}

std::optional<RegValue> FakeRegistry::GetValue(RegKey root, const std::u16string& path,
                                               const std::u16string& name) const {
  std::shared_ptr<KeyNode> key = TestKey(root, path, Walking::kLook);
  if (key == nullptr) return std::nullopt;
  const StoredValue* stored = FindValue(*key, name);
  if (stored == nullptr) return std::nullopt;
  return stored->value;
}

std::optional<RegValue> FakeRegistry::GetValue(RegKey root, const std::string& path,
                                               const std::string& name) const {
  return GetValue(root, Wide(path), Wide(name));
}

std::optional<std::u16string> FakeRegistry::GetStringW(RegKey root, const std::u16string& path,
                                                       const std::u16string& name) const {
  std::optional<RegValue> value = GetValue(root, path, name);
  if (!value || !IsString(value->type)) return std::nullopt;
  return StringOf(*value);
}

std::optional<std::string> FakeRegistry::GetStringA(RegKey root, const std::string& path,
                                                    const std::string& name) const {
  std::optional<std::u16string> text = GetStringW(root, Wide(path), Wide(name));
  if (!text) return std::nullopt;
  return Narrow(*text);
}

std::vector<std::u16string> FakeRegistry::SubKeysW(RegKey root, const std::u16string& path) const {
  std::vector<std::u16string> names;
  if (std::shared_ptr<KeyNode> key = TestKey(root, path, Walking::kLook)) {
    for (const auto& [folded, child] : key->subKeys) names.push_back(child->name);
  }
  return names;
}

std::vector<std::string> FakeRegistry::SubKeys(RegKey root, const std::string& path) const {
  std::vector<std::string> names;
  for (const std::u16string& name : SubKeysW(root, Wide(path))) names.push_back(Narrow(name));
  return names;
}

std::vector<std::u16string> FakeRegistry::ValueNamesW(RegKey root,
                                                      const std::u16string& path) const {
  std::vector<std::u16string> names;
  if (std::shared_ptr<KeyNode> key = TestKey(root, path, Walking::kLook)) {
    for (const StoredValue& stored : key->values) names.push_back(stored.name);
  }
  return names;
}

std::vector<std::string> FakeRegistry::ValueNames(RegKey root, const std::string& path) const {
  std::vector<std::string> names;
  for (const std::u16string& name : ValueNamesW(root, Wide(path))) names.push_back(Narrow(name));
  return names;
}

bool FakeRegistry::DeleteTree(RegKey root, const std::string& path) {
  std::u16string wide = Wide(path);
  size_t split = wide.find_last_of(u'\\');
  std::u16string parentPath = split == std::u16string::npos ? u"" : wide.substr(0, split);
  std::u16string leaf = split == std::u16string::npos ? wide : wide.substr(split + 1);
  std::shared_ptr<KeyNode> parent = TestKey(root, parentPath, Walking::kChange);
  if (parent == nullptr || leaf.empty()) return false;
  auto target = parent->subKeys.find(FoldUtf16(leaf));
  if (target == parent->subKeys.end()) return false;
  std::vector<std::shared_ptr<KeyNode>> pending{target->second};
  while (!pending.empty()) {
    std::shared_ptr<KeyNode> node = pending.back();
    pending.pop_back();
    // Only own keys can be held by this registry's handles, and they lie
    // above every shared one.
    if (node->shared) continue;
    node->deleted = true;
    for (const auto& [folded, child] : node->subKeys) pending.push_back(child);
  }
  parent->subKeys.erase(target);
  return true;
}

}  // namespace zv::fake
