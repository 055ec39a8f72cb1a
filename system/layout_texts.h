// The texts of keyboard layout registration and the default-IME check. The
// messages are UTF-16; 8-bit message boxes get them through the ANSI code
// page when shown. The product's name and layout text are also kept as fixed
// GBK and Big5 bytes, because they are compared with, and written as, 8-bit
// registry data whatever the system's code page.
#pragma once

#include <string_view>

#include "state/captions.h"

namespace zv::texts::layout {

// ---- Captions -----------------------------------------------------------

// The product and setup captions are in system/captions.h.
inline constexpr char16_t kShapeCodeCaption[] = u"智能岚汀(岚汀形码)";

// ---- Manual layout registration -----------------------------------------

// Shown on the NT family when the layout list cannot be opened or the
// product's layout key cannot be created.
inline constexpr char16_t kAdministratorNeeded[] =
    u"在WIN2000和WIN NT系统中安装本软件时，需要以系统管理员身份才能安装成功！";
// The 9x family's forms of the same two failures.
inline constexpr char16_t kLayoutListOpenError9x[] = u"Software open error1003";
inline constexpr char16_t kLayoutKeyCreateError9x[] = u"Software open error1004";
// The current user's preload list cannot be opened (both families).
inline constexpr char16_t kPreloadOpenError[] = u"Software open error2003";

// ---- The default-IME check (UTF-16 message boxes) -----------------------
// The long texts begin with two ideographic spaces.

inline constexpr char16_t kOnlyInputMethod[] =
    u"　　你以前安装的智能岚汀为系统默认输入法，并且是系统安装的唯一输入法，"
    u"请通过微软的输入法管理器增加英文输入法，并将智能岚汀输入法设置为系统非默认输入法后，"
    u"重新启动机器才能安装新版本的智能岚汀！";
inline constexpr char16_t kDefaultInputMethod[] =
    u"　　你以前安装的智能岚汀为系统默认输入法，请设置为系统非默认输入法后，"
    u"重新启动机器才能安装新版本的智能岚汀！";
inline constexpr char16_t kMakeNonDefaultQuestion[] = u"是否设置智能岚汀为系统非默认输入法？";
inline constexpr char16_t kRestartThenInstall[] = u"请重新启动机器后安装智能岚汀！";
inline constexpr char16_t kShapeCodeDefault[] =
    u"　　你以前安装的岚汀形码为系统默认输入法，"
    u"请通过微软的输入法管理器将岚汀形码输入法设置为系统非默认输入法后，"
    u"重新启动机器才能安装新版本的岚汀形码！";

// ---- The product's 8-bit name and layout text ---------------------------
// Each byte constant is checked against the UTF-16 text beside it by a test.

// u"智能岚汀输入平台" in GBK (16 bytes). The installed IME's own layout
// description begins with it on every code page.
inline constexpr std::string_view kImeNamePrefixGbk{
    "\xD6\xC7\xC4\xDC\xE1\xB0\xCD\xA1\xCA\xE4\xC8\xEB\xC6\xBD\xCC\xA8", 16};
inline constexpr char16_t kImeNamePrefixGbkText[] = u"智能岚汀输入平台";

// u"智能嵐汀輸入平台" in Big5 (16 bytes).
inline constexpr std::string_view kImeNamePrefixBig5{
    "\xB4\xBC\xAF\xE0\xB4\x50\xA5\xC5\xBF\xE9\xA4\x4A\xA5\xAD\xA5\x78", 16};
inline constexpr char16_t kImeNamePrefixBig5Text[] = u"智能嵐汀輸入平台";

// The layout texts: the name, two blanks and the version (21 bytes).
inline constexpr std::string_view kImeLayoutTextGbk{
    "\xD6\xC7\xC4\xDC\xE1\xB0\xCD\xA1\xCA\xE4\xC8\xEB\xC6\xBD\xCC\xA8  7.8", 21};
// The UTF-16 layout text the IME is registered with on every code page.
inline constexpr char16_t kImeLayoutText[] = u"智能岚汀输入平台  7.8";
inline constexpr std::string_view kImeLayoutTextBig5{
    "\xB4\xBC\xAF\xE0\xB4\x50\xA5\xC5\xBF\xE9\xA4\x4A\xA5\xAD\xA5\x78  7.8", 21};
inline constexpr char16_t kImeLayoutTextBig5Text[] = u"智能嵐汀輸入平台  7.8";

// u"智能岚汀输入" in GBK (12 bytes): how a preload entry's layout text is
// recognised as the product's, on every code page.
inline constexpr std::string_view kImeFamilyPrefixGbk{
    "\xD6\xC7\xC4\xDC\xE1\xB0\xCD\xA1\xCA\xE4\xC8\xEB", 12};
inline constexpr char16_t kImeFamilyPrefixGbkText[] = u"智能岚汀输入";

}  // namespace zv::texts::layout
