#include <windows.h>
// These need windows.h first.
#include <imm.h>

#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {
namespace {

HKL Hkl(LayoutHandle layout) { return reinterpret_cast<HKL>(layout); }
LayoutHandle Handle(HKL layout) { return reinterpret_cast<LayoutHandle>(layout); }

}  // namespace

LayoutHandle Win32InputMethods::ImmInstallIMEW(const std::u16string& imeFile,
                                               const std::u16string& layoutText) {
  // ImmInstallIMEW takes non-const buffers.
  std::u16string file = imeFile;
  std::u16string text = layoutText;
  return Handle(::ImmInstallIMEW(reinterpret_cast<LPWSTR>(file.data()),
                                 reinterpret_cast<LPWSTR>(text.data())));
}

std::string Win32InputMethods::ImmGetDescriptionA(LayoutHandle layout) {
  char buffer[256] = {};
  const UINT length = ::ImmGetDescriptionA(Hkl(layout), buffer, sizeof(buffer) - 1);
  return std::string(buffer, length < sizeof(buffer) ? length : 0);
}

std::vector<LayoutHandle> Win32InputMethods::GetKeyboardLayoutList() {
  const int count = ::GetKeyboardLayoutList(0, nullptr);
  if (count <= 0) return {};
  std::vector<HKL> layouts(static_cast<size_t>(count));
  const int got = ::GetKeyboardLayoutList(count, layouts.data());
  std::vector<LayoutHandle> result;
  for (int i = 0; i < got; ++i) result.push_back(Handle(layouts[static_cast<size_t>(i)]));
  return result;
}

LayoutHandle Win32InputMethods::GetKeyboardLayout() { return Handle(::GetKeyboardLayout(0)); }

LayoutHandle Win32InputMethods::ActivateKeyboardLayout(LayoutHandle layout, uint32_t flags) {
  return Handle(::ActivateKeyboardLayout(Hkl(layout), flags));
}

}  // namespace zv::platform::win32
