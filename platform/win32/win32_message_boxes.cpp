#include <windows.h>

#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {

int Win32MessageBoxes::MessageBoxA(const std::string& text, const std::string& caption,
                                   uint32_t type) {
  return ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), type);
}

int Win32MessageBoxes::MessageBoxW(const std::u16string& text, const std::u16string& caption,
                                   uint32_t type) {
  return ::MessageBoxW(nullptr, Wide(text), Wide(caption), type);
}

}  // namespace zv::platform::win32
