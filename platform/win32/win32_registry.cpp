#include <windows.h>

#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {
namespace {

// The predefined roots are sign-extended 32-bit values in a 64-bit process.
HKEY Key(RegKey key) {
  switch (key) {
    case kHkeyClassesRoot:
      return HKEY_CLASSES_ROOT;
    case kHkeyCurrentUser:
      return HKEY_CURRENT_USER;
    case kHkeyLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case kHkeyUsers:
      return HKEY_USERS;
    default:
      return reinterpret_cast<HKEY>(key);
  }
}
RegKey Out(HKEY key) { return reinterpret_cast<RegKey>(key); }

}  // namespace

uint32_t Win32Registry::RegOpenKeyExA(RegKey parent, const std::string& subKey, uint32_t access,
                                      RegKey* out) {
  HKEY key = nullptr;
  const LONG status = ::RegOpenKeyExA(Key(parent), subKey.c_str(), 0, access, &key);
  *out = status == ERROR_SUCCESS ? Out(key) : 0;
  return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::RegOpenKeyExW(RegKey parent, const std::u16string& subKey, uint32_t access,
                                      RegKey* out) {
  HKEY key = nullptr;
  const LONG status = ::RegOpenKeyExW(Key(parent), Wide(subKey), 0, access, &key);
  *out = status == ERROR_SUCCESS ? Out(key) : 0;
  return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::RegCreateKeyExA(RegKey parent, const std::string& subKey, uint32_t access,
                                        RegKey* out) {
  HKEY key = nullptr;
  const LONG status = ::RegCreateKeyExA(Key(parent), subKey.c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
  *out = status == ERROR_SUCCESS ? Out(key) : 0;
  return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::RegCreateKeyExW(RegKey parent, const std::u16string& subKey,
                                        uint32_t access, RegKey* out) {
  HKEY key = nullptr;
  const LONG status = ::RegCreateKeyExW(Key(parent), Wide(subKey), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
  *out = status == ERROR_SUCCESS ? Out(key) : 0;
  return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::RegCloseKey(RegKey key) {
  return static_cast<uint32_t>(::RegCloseKey(Key(key)));
}

uint32_t Win32Registry::RegQueryInfoKeyA(RegKey key, uint32_t* subKeys, uint32_t* maxSubKeyLength) {
  DWORD count = 0;
  DWORD longest = 0;
  const LONG status = ::RegQueryInfoKeyA(Key(key), nullptr, nullptr, nullptr, &count, &longest,
                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  *subKeys = count;
  *maxSubKeyLength = longest;
  return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::RegEnumKeyExA(RegKey key, uint32_t index, std::string* name) {
  char buffer[256];
  DWORD length = sizeof(buffer);
  const LONG status =
      ::RegEnumKeyExA(Key(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  name->assign(status == ERROR_SUCCESS ? buffer : "", status == ERROR_SUCCESS ? length : 0);
  return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::RegQueryValueExA(RegKey key, const std::string& name, uint32_t* type,
                                         std::vector<uint8_t>* data, uint32_t capacity) {
  data->assign(capacity, 0);
  DWORD valueType = 0;
  DWORD size = capacity;
  const LONG status = ::RegQueryValueExA(Key(key), name.c_str(), nullptr, &valueType,
                                         capacity ? data->data() : nullptr, &size);
  if (status != ERROR_SUCCESS) {
    data->clear();
    return static_cast<uint32_t>(status);
  }
  data->resize(size);
  *type = valueType;
  return ERROR_SUCCESS;
}

uint32_t Win32Registry::RegSetValueExA(RegKey key, const std::string& name, uint32_t type,
                                       const void* data, uint32_t size) {
  return static_cast<uint32_t>(
      ::RegSetValueExA(Key(key), name.c_str(), 0, type, static_cast<const BYTE*>(data), size));
}

uint32_t Win32Registry::RegSetValueExW(RegKey key, const std::u16string& name, uint32_t type,
                                       const void* data, uint32_t size) {
  return static_cast<uint32_t>(
      ::RegSetValueExW(Key(key), Wide(name), 0, type, static_cast<const BYTE*>(data), size));
}

uint32_t Win32Registry::RegDeleteValueA(RegKey key, const std::string& name) {
  return static_cast<uint32_t>(::RegDeleteValueA(Key(key), name.c_str()));
}

uint32_t Win32Registry::RegDeleteKeyA(RegKey parent, const std::string& subKey) {
  return static_cast<uint32_t>(::RegDeleteKeyA(Key(parent), subKey.c_str()));
}

}  // namespace zv::platform::win32
