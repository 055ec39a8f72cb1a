// The wizard's process-wide values.
#pragma once

#include <cstdint>

#include "platform/fixed_text.h"

namespace zv {

// 0 before the window exists; the page numbers of the wizard after that.
extern int32_t WizardPage;

// The web address last read from the web-address page (at most 99 bytes);
// empty when that page was never shown, as in the silent mode.
extern FixedText<100> WebAddress;

}  // namespace zv
