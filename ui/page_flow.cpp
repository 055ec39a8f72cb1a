#include "ui/page_flow.h"

namespace zv {

PageKind PageKindOf(int32_t page) {
  if (page <= kWelcomePage) return PageKind::kWelcome;
  if (page <= kLastWebAddressPage) return PageKind::kWebAddress;
  if (page <= kInstallPathPage) return PageKind::kInstallPath;
  if (page == kProcessingPage) return PageKind::kProcessing;
  return PageKind::kTypingTest;
}

WizardButton ButtonAt(int32_t x, int32_t y) {
  if (kExitButton.Contains(x, y)) return WizardButton::kExit;
  if (kConfirmButton.Contains(x, y)) return WizardButton::kConfirm;
  return WizardButton::kNone;
}

PageAction ActionForClick(int32_t page, WizardButton button, bool installing) {
  if (installing || button == WizardButton::kNone) return PageAction::kNothing;
  if (button == WizardButton::kExit) {
    return page < kTypingTestPage ? PageAction::kCloseWindow : PageAction::kFinishInstall;
  }
  if (page == kWelcomePage) return PageAction::kLeaveWelcome;
  if (page >= kWebAddressPage && page <= kLastWebAddressPage) return PageAction::kLeaveWebAddress;
  if (page == kInstallPathPage) return PageAction::kConfirmInstall;
  if (page == kProcessingPage) return PageAction::kRepaint;
  if (page == kTypingTestPage) return PageAction::kNextTypingTestPage;
  if (page == kLastTypingTestPage) return PageAction::kFinishInstall;
  return PageAction::kNothing;
}

}  // namespace zv
