// Whether running programs still hold the IME: its user-interface windows
// and its shared memory.
#pragma once

#include <cstddef>
#include <string>

namespace zv {

// The IME's user-interface windows are top-level windows of this class
// (compared whole and case-sensitively); its shared memory is this mapping.
inline constexpr char kImeWindowClass[] = "UIKPMT";
inline constexpr char kImeSharedMemory[] = "zavolikpmt";

// Where the message and the program list lie in WorkBuffer, as UTF-16 text.
inline constexpr size_t kImeMessageOffset = 0;
inline constexpr size_t kImeLineScratchOffset = 262144;
inline constexpr size_t kImeListOffset = 278528;

// Counts the IME's windows into ImeUseCount, leaving out those of the
// installer's own process (an IME switched on in the wizard itself). For
// each window with an owner or parent, the list gains a line: "　　N：" with
// the count so far and the title of the window's topmost parent or owner.
// When any were found, the message naming them is written to the start of
// WorkBuffer (and kept for ImeUseMessage); otherwise the message is left as
// it was. A list too long for its room keeps its whole lines that fit; the
// closing sentences always follow.
void ListProgramsUsingIme();

// The message the last ListProgramsUsingIme wrote.
std::u16string ImeUseMessage();

// 1 when the IME's shared memory exists (it opens for writing), else 0.
// ImeUseCount is left as it is.
int CheckImeSharedMemory();

}  // namespace zv
