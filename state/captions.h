// The captions of the installer's message boxes, in UTF-16, shared by every
// subsystem that shows a box.
#pragma once

namespace zv::texts {

inline constexpr char16_t kProductCaption[] = u"智能岚汀";
inline constexpr char16_t kSetupCaption[] = u"智能岚汀安装";
inline constexpr char16_t kShapeCodeSetupCaption[] = u"智能岚汀(岚汀形码)安装";

}  // namespace zv::texts
