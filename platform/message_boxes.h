// Message boxes. Every box the installer shows has no owner window.
#pragma once

#include <cstdint>
#include <string>

namespace zv::platform {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // MessageBoxA with 8-bit text in the ANSI code page. Returns the answer (kIdOk, kIdYes, ...).
  virtual int MessageBoxA(const std::string& text, const std::string& caption, uint32_t type) = 0;
  // MessageBoxW with UTF-16 text.
  virtual int MessageBoxW(const std::u16string& text, const std::u16string& caption,
                          uint32_t type) = 0;
};

}  // namespace zv::platform
