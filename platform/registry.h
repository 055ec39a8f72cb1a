// Registry services, with 8-bit and UTF-16 names as Windows has them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zv::platform {

// An open key. 0 is no key. The predefined roots are fixed values.
using RegKey = uintptr_t;
inline constexpr RegKey kHkeyClassesRoot = 0x80000000u;
inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;
inline constexpr RegKey kHkeyUsers = 0x80000003u;

// Every call returns the Windows error code (0 = ERROR_SUCCESS).
class Registry {
 public:
  virtual ~Registry() = default;
  virtual uint32_t RegOpenKeyExA(RegKey parent, const std::string& subKey, uint32_t access,
                                 RegKey* out) = 0;
  virtual uint32_t RegOpenKeyExW(RegKey parent, const std::u16string& subKey, uint32_t access,
                                 RegKey* out) = 0;
  virtual uint32_t RegCreateKeyExA(RegKey parent, const std::string& subKey, uint32_t access,
                                   RegKey* out) = 0;
  virtual uint32_t RegCreateKeyExW(RegKey parent, const std::u16string& subKey, uint32_t access,
                                   RegKey* out) = 0;
  virtual uint32_t RegCloseKey(RegKey key) = 0;
  // The number of subkeys and the length of the longest subkey name.
  virtual uint32_t RegQueryInfoKeyA(RegKey key, uint32_t* subKeys, uint32_t* maxSubKeyLength) = 0;
  // Subkey `index` in the registry's enumeration order; kErrorNoMoreItems past the end.
  virtual uint32_t RegEnumKeyExA(RegKey key, uint32_t index, std::string* name) = 0;
  // Reads a value's type and bytes. With `capacity` smaller than the value,
  // returns kErrorMoreData and leaves `data` empty.
  virtual uint32_t RegQueryValueExA(RegKey key, const std::string& name, uint32_t* type,
                                    std::vector<uint8_t>* data, uint32_t capacity) = 0;
  virtual uint32_t RegSetValueExA(RegKey key, const std::string& name, uint32_t type,
                                  const void* data, uint32_t size) = 0;
  virtual uint32_t RegSetValueExW(RegKey key, const std::u16string& name, uint32_t type,
                                  const void* data, uint32_t size) = 0;
  virtual uint32_t RegDeleteValueA(RegKey key, const std::string& name) = 0;
  virtual uint32_t RegDeleteKeyA(RegKey parent, const std::string& subKey) = 0;
};

}  // namespace zv::platform
