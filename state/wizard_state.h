// What the wizard learnt from the user.
#pragma once

#include <cstdint>

#include "platform/gui_types.h"
#include "state/fixed_text.h"

namespace zv {

// 0 before the window exists; the page numbers of the wizard after that.
extern int32_t WizardPage;

// The pages by WizardPage: 0 (and below) welcome, 1 to 4 web address, 5 and
// 6 install path, 7 processing, 8 and above typing test. The wizard shows
// the first web-address page, the last install-path page and both
// typing-test pages; the others are only passed through.
inline constexpr int32_t kWelcomePage = 0;
inline constexpr int32_t kWebAddressPage = 1;
inline constexpr int32_t kLastWebAddressPage = 4;
inline constexpr int32_t kInstallPathPage = 6;
inline constexpr int32_t kProcessingPage = 7;
inline constexpr int32_t kTypingTestPage = 8;
inline constexpr int32_t kLastTypingTestPage = 9;

// The wizard's window; 0 while there is none (always in the silent mode).
extern platform::WindowHandle MainWindow;

// The web address last read from the web-address page (at most 99 bytes);
// empty when that page was never shown, as in the silent mode.
extern FixedText<100> WebAddress;

// 1 while the install or its end runs inside a click of the wizard, else 0.
// The window then ignores clicks and requests to close it: the message boxes
// of the install have no owner, so the window stays clickable; closing it
// would free the work buffer under the running install, and a second click
// would end the install twice.
extern int32_t WizardInstalling;

// The IME window's mode chosen in the skin dialog, 1 to 4 (0 before it).
extern int32_t WindowMode;
// The skin chosen in the skin dialog, 1 to 3 (0 before it).
extern int32_t SkinChoice;

}  // namespace zv
