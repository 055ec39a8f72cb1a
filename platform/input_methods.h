// The input method manager and keyboard layouts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zv::platform {

// A keyboard layout handle (HKL); 0 is none.
using LayoutHandle = uintptr_t;

class InputMethods {
 public:
  virtual ~InputMethods() = default;
  // ImmInstallIMEW: registers the IME file with its layout text; 0 when refused.
  virtual LayoutHandle ImmInstallIMEW(const std::u16string& imeFile,
                                      const std::u16string& layoutText) = 0;
  // ImmGetDescriptionA: the layout's description, empty when it has none.
  virtual std::string ImmGetDescriptionA(LayoutHandle layout) = 0;
  // GetKeyboardLayoutList: the layouts loaded for this process.
  virtual std::vector<LayoutHandle> GetKeyboardLayoutList() = 0;
  // GetKeyboardLayout(0): the active layout of the calling thread.
  virtual LayoutHandle GetKeyboardLayout() = 0;
  // ActivateKeyboardLayout: returns the previous layout, 0 on failure.
  virtual LayoutHandle ActivateKeyboardLayout(LayoutHandle layout, uint32_t flags) = 0;
};

}  // namespace zv::platform
