// Process-wide values set at start-up and read by every later step.
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

// The IME window's mode chosen in the skin dialog, 1 to 4 (0 before it).
extern int32_t WindowMode;

// Back to the values before start-up (for tests).
void ResetRunState();

}  // namespace zv
