// An open registry key that closes itself. Every key the installer opens or
// creates lives in one of these, so that no return path leaves a key open.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "platform/services.h"

namespace zv::platform {

// Owns one key opened or created through Reg() and calls RegCloseKey on it
// exactly once: when the object is destroyed, closed, or given a new key.
// Copying is forbidden; moving hands the key over.
class ScopedRegKey {
 public:
  ScopedRegKey() = default;
  // Takes over `key`, which must have come from an open or create call.
  explicit ScopedRegKey(RegKey key) : key_(key) {}
  ~ScopedRegKey() { Close(); }

  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;
  ScopedRegKey(ScopedRegKey&& other) noexcept : key_(other.Release()) {}
  ScopedRegKey& operator=(ScopedRegKey&& other) noexcept {
    if (this != &other) {
      Close();
      key_ = other.Release();
    }
    return *this;
  }

  // RegOpenKeyExA / RegOpenKeyExW of `subKey` below `parent`. The key held
  // before is closed first. Returns the Windows error code (0 on success);
  // on failure the object holds no key.
  uint32_t OpenA(RegKey parent, const std::string& subKey, uint32_t access) {
    Close();
    return Keep(Reg().RegOpenKeyExA(parent, subKey, access, &key_));
  }
  uint32_t OpenW(RegKey parent, const std::u16string& subKey, uint32_t access) {
    Close();
    return Keep(Reg().RegOpenKeyExW(parent, subKey, access, &key_));
  }

  // RegCreateKeyExA / RegCreateKeyExW (non-volatile): opens `subKey` below
  // `parent`, creating it when missing. Same contract as OpenA.
  uint32_t CreateA(RegKey parent, const std::string& subKey, uint32_t access) {
    Close();
    return Keep(Reg().RegCreateKeyExA(parent, subKey, access, &key_));
  }
  uint32_t CreateW(RegKey parent, const std::u16string& subKey, uint32_t access) {
    Close();
    return Keep(Reg().RegCreateKeyExW(parent, subKey, access, &key_));
  }

  bool valid() const { return key_ != 0; }
  RegKey get() const { return key_; }

  // Gives up ownership without closing; the caller must close the key.
  RegKey Release() {
    const RegKey key = key_;
    key_ = 0;
    return key;
  }

  // Closes the key now (no effect when none is held).
  void Close() {
    if (key_ == 0) return;
    Reg().RegCloseKey(key_);
    key_ = 0;
  }

 private:
  // A failed call may still have written to the out parameter: hold nothing then.
  uint32_t Keep(uint32_t status) {
    if (status != 0) key_ = 0;
    return status;
  }

  RegKey key_ = 0;
};

}  // namespace zv::platform
