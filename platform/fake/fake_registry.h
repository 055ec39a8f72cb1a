// The fake machine's registry: HKLM, HKCU, HKU and HKCR (a view of
// HKLM\Software\Classes), case-insensitive names, typed byte values. Names and
// strings given to the 8-bit calls go through the ANSI code page and are kept
// as UTF-16, as Windows keeps them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fake/machine_state.h"
#include "platform/registry.h"

namespace zv::fake {

struct RegValue {
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

class FakeRegistry : public platform::Registry {
 public:
  explicit FakeRegistry(MachineState& state);

  // platform::Registry
  uint32_t RegOpenKeyExA(platform::RegKey parent, const std::string& subKey, uint32_t access,
                         platform::RegKey* out) override;
  uint32_t RegOpenKeyExW(platform::RegKey parent, const std::u16string& subKey, uint32_t access,
                         platform::RegKey* out) override;
  uint32_t RegCreateKeyExA(platform::RegKey parent, const std::string& subKey, uint32_t access,
                           platform::RegKey* out) override;
  uint32_t RegCreateKeyExW(platform::RegKey parent, const std::u16string& subKey, uint32_t access,
                           platform::RegKey* out) override;
  uint32_t RegCloseKey(platform::RegKey key) override;
  uint32_t RegQueryInfoKeyA(platform::RegKey key, uint32_t* subKeys,
                            uint32_t* maxSubKeyLength) override;
  uint32_t RegEnumKeyExA(platform::RegKey key, uint32_t index, std::string* name) override;
  uint32_t RegQueryValueExA(platform::RegKey key, const std::string& name, uint32_t* type,
                            std::vector<uint8_t>* data, uint32_t capacity) override;
  uint32_t RegSetValueExA(platform::RegKey key, const std::string& name, uint32_t type,
                          const void* data, uint32_t size) override;
  uint32_t RegSetValueExW(platform::RegKey key, const std::u16string& name, uint32_t type,
                          const void* data, uint32_t size) override;
  uint32_t RegDeleteValueA(platform::RegKey key, const std::string& name) override;
  uint32_t RegDeleteKeyA(platform::RegKey parent, const std::string& subKey) override;

  // Test-facing access. `root` is one of the predefined keys, `path` the
  // subkey path below it ("Software\\Microsoft"). The std::string forms take
  // 8-bit text in the machine's ANSI code page, the std::u16string forms
  // UTF-16. Setting a value creates its key.
  bool CreateKey(platform::RegKey root, const std::u16string& path);
  bool CreateKey(platform::RegKey root, const std::string& path);
  bool KeyExists(platform::RegKey root, const std::u16string& path) const;
  bool KeyExists(platform::RegKey root, const std::string& path) const;
  bool SetValue(platform::RegKey root, const std::u16string& path, const std::u16string& name,
                uint32_t type, const std::vector<uint8_t>& data);
  bool SetValue(platform::RegKey root, const std::string& path, const std::string& name,
                uint32_t type, const std::vector<uint8_t>& data);
  // REG_SZ with its terminating zero: UTF-16 text as it is, 8-bit text as
  // RegSetValueExA stores it.
  bool SetString(platform::RegKey root, const std::u16string& path, const std::u16string& name,
                 const std::u16string& text);
  bool SetString(platform::RegKey root, const std::string& path, const std::string& name,
                 const std::string& text);
  // The value RegSetValueExA stores from exactly `bytes` of `type`: of any
  // length, zero bytes kept where they stand and no terminating zero added,
  // so that RegQueryValueExA gives the same bytes back (string types pass
  // through the code page, where a byte that forms no character becomes '?').
  bool SetValueA(platform::RegKey root, const std::string& path, const std::string& name,
                 uint32_t type, std::string_view bytes);
  bool SetDword(platform::RegKey root, const std::string& path, const std::string& name,
                uint32_t value);
  // The value as stored (strings as UTF-16 bytes).
  std::optional<RegValue> GetValue(platform::RegKey root, const std::u16string& path,
                                   const std::u16string& name) const;
  std::optional<RegValue> GetValue(platform::RegKey root, const std::string& path,
                                   const std::string& name) const;
  // A string value without its terminating zero, as UTF-16 or as the 8-bit
  // text RegQueryValueExA gives.
  std::optional<std::u16string> GetStringW(platform::RegKey root, const std::u16string& path,
                                           const std::u16string& name) const;
  std::optional<std::string> GetStringA(platform::RegKey root, const std::string& path,
                                        const std::string& name) const;
  // Subkey names in enumeration order; value names in the order of creation.
  std::vector<std::string> SubKeys(platform::RegKey root, const std::string& path) const;
  std::vector<std::u16string> SubKeysW(platform::RegKey root, const std::u16string& path) const;
  std::vector<std::string> ValueNames(platform::RegKey root, const std::string& path) const;
  std::vector<std::u16string> ValueNamesW(platform::RegKey root, const std::u16string& path) const;
  // Removes a key with everything below it.
  bool DeleteTree(platform::RegKey root, const std::string& path);
  // Keys opened or created by the code under test and not closed yet.
  size_t OpenKeyCount() const { return openKeys_; }

  // For the machine that starts as a copy of another: every key and value
  // becomes a copy of `other`'s (its open handles are not copied). The two
  // share every key until this registry changes it (or opens it, since a
  // handle may change its key), and a key is copied when that first
  // happens, with the keys above it; so a machine pays for the keys it
  // uses, not for the whole tree. From then on `other` must never change.
  void CopyKeysFrom(const FakeRegistry& other);

 private:
  struct StoredValue {
    std::u16string name;
    RegValue value;
  };
  // A name to look up among folded names as it would be once folded,
  // without building its folded form.
  struct Unfolded {
    std::u16string_view text;
  };
  struct FoldedOrder {
    using is_transparent = void;
    bool operator()(const std::u16string& a, const std::u16string& b) const { return a < b; }
    bool operator()(const std::u16string& folded, Unfolded name) const;
    bool operator()(Unfolded name, const std::u16string& folded) const;
  };
  struct KeyNode {
    std::u16string name;
    std::map<std::u16string, std::shared_ptr<KeyNode>, FoldedOrder> subKeys;  // by folded name
    std::vector<StoredValue> values;
    bool deleted = false;
    // Part of a registry that others copy: it never changes, and a copy
    // puts a node of its own in its place before changing it. Every key
    // below a shared one is shared.
    bool shared = false;
  };
  // How Walk treats the keys on its path.
  enum class Walking {
    kLook,    // as they are, shared or not
    kChange,  // made this registry's own, to be changed or held by a handle
    kCreate,  // made its own, and created where missing
  };
  struct OpenKey {
    std::shared_ptr<KeyNode> node;
    uint32_t access = 0;
    std::string path;  // for fault matching, e.g. "HKEY_CURRENT_USER\Keyboard Layout"
  };
  // An open handle's slot (handle 0 when free), which keeps its path's
  // buffer for the next handle: a registry opens and closes keys by the
  // dozen.
  struct HandleSlot {
    platform::RegKey handle = 0;
    OpenKey key;
  };
  // A predefined key or an open handle as a call sees it, valid while the
  // call runs: its node stays held by the tree or the handle table.
  struct KeyRef {
    const std::shared_ptr<KeyNode>* node = nullptr;
    uint32_t access = 0;
    std::string_view path;
    KeyNode* operator->() const { return node->get(); }
  };

  // Marks `key` and everything below it shared.
  static void Share(KeyNode& key);
  // Replaces a shared key in `slot` (an entry of an own key's subkeys, or a
  // root) by a copy of its name, values and subkey entries, these still
  // leading to the shared keys below.
  static void Own(std::shared_ptr<KeyNode>& slot);
  // HKCR shows HKLM\Software\Classes.
  void AliasClassesRoot() const;
  // The predefined keys' trees: made at the first call that needs them,
  // empty or as the roots of the registry given to CopyKeysFrom.
  std::map<platform::RegKey, std::shared_ptr<KeyNode>>& Roots() const;
  std::optional<KeyRef> Resolve(platform::RegKey key) const;
  // A free slot for the next handle, made before any key is resolved so
  // that making it moves no slot a KeyRef points into.
  HandleSlot& FreeSlot();
  uint32_t OpenOrCreate(std::string_view operation, platform::RegKey parent,
                        const std::u16string& subKey, const std::string& shownSubKey,
                        uint32_t access, bool create, platform::RegKey* out);
  // The key at `path` below `root`, which must be an own key unless
  // `walking` only looks.
  static std::shared_ptr<KeyNode> Walk(const std::shared_ptr<KeyNode>& root,
                                       std::u16string_view path, Walking walking);
  std::shared_ptr<KeyNode> TestKey(platform::RegKey root, const std::u16string& path,
                                   Walking walking) const;
  static uint32_t CheckKey(const std::optional<KeyRef>& key, uint32_t right);
  // The scripted failure of `operation` on `name` below `key`, if any.
  std::optional<uint32_t> Injected(std::string_view operation, platform::RegKey key,
                                   const std::string& name);
  static StoredValue* FindValue(KeyNode& key, std::u16string_view name);
  uint32_t SetStored(platform::RegKey key, const std::u16string& name, const std::string& shown,
                     uint32_t type, const void* data, uint32_t size, bool ansi,
                     std::string_view operation);
  std::u16string Wide(const std::string& text) const;
  std::string Narrow(const std::u16string& text) const;

  MachineState& state_;
  // Both change only to make the roots, or to take the copy that
  // CopyKeysFrom put off.
  mutable std::map<platform::RegKey, std::shared_ptr<KeyNode>> roots_;
  mutable const FakeRegistry* copyOf_ = nullptr;
  // The open handles, in slots.
  std::vector<HandleSlot> handles_;
  size_t openKeys_ = 0;
  platform::RegKey nextHandle_ = 0x1000;
  // The subject of the call being checked for a scripted failure, kept to
  // reuse its buffer.
  std::string subject_;
};

}  // namespace zv::fake
