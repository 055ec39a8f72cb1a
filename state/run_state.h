// The values start-up sets once and every later step reads.
#pragma once

#include <cstdint>

namespace zv {

inline constexpr int32_t kRunModeInteractive = 2;
inline constexpr int32_t kRunModeSilent = 3;

// The system's OEM code page; 950 selects the traditional-Chinese variants.
extern uint32_t UiCodePage;
// kRunModeInteractive or kRunModeSilent.
extern int32_t RunMode;
// 1 for the Pinyin edition (set by the wizard), 0 for the shape-code edition.
extern int32_t EditionFlag;

}  // namespace zv
