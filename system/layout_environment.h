// What keyboard layout registration needs to know about the running system:
// the Windows family, the product's 8-bit texts and language in the form the
// code page calls for, and where the registry keeps the layouts.
#pragma once

#include <cstdint>
#include <string_view>

namespace zv {

// The key under HKEY_LOCAL_MACHINE with one subkey per installed layout.
inline constexpr char kKeyboardLayoutsKey[] =
    "System\\CurrentControlSet\\Control\\Keyboard Layouts";

// 1 when GetVersion reports the 9x family (its top bit set), else 0. Asked
// afresh at every call.
int IsWindows9xFamily();

// The product's texts and language for one code page.
struct ProductLayoutForm {
  std::string_view namePrefix;  // the 16-byte product name
  std::string_view layoutText;  // the 21-byte "layout text"
  std::string_view language;    // "804" or "404": how a product LayoutId ends
  uint32_t lowestIme;           // the IME identifier below the first one given out
};

// The traditional-Chinese form when UiCodePage is 950, else the simplified one.
ProductLayoutForm CurrentProductForm();

// 1 when `text` begins with the bytes of `prefix`, else 0.
int StartsWithBytes(std::string_view text, std::string_view prefix);

}  // namespace zv
