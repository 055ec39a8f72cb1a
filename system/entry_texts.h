// The texts of the product's registry entries, in UTF-16.
#pragma once

namespace zv::texts {

// The names under which the uninstall entry lists the two editions.
inline constexpr char16_t kPinyinEditionName[] = u"岚汀拼音";
inline constexpr char16_t kShapeCodeEditionName[] = u"岚汀形码";

}  // namespace zv::texts
