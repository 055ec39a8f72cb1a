#include "system/installer_ime_activation.h"

#include <algorithm>
#include <vector>

#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/wizard_state.h"
#include "system/ime_registration.h"
#include "system/layout_environment.h"
#include "system/layout_texts.h"

namespace zv {

namespace {

// The most loaded layouts looked at.
constexpr size_t kMaxLoadedLayouts = 50;

bool IsProductLayout(platform::LayoutHandle layout) {
  return StartsWithBytes(platform::Ime().ImmGetDescriptionA(layout),
                         texts::layout::kImeNamePrefixGbk) != 0;
}

platform::LayoutHandle FindLoadedProductLayout() {
  const std::vector<platform::LayoutHandle> loaded = platform::Ime().GetKeyboardLayoutList();
  const size_t count = std::min(loaded.size(), kMaxLoadedLayouts);
  for (size_t i = 0; i < count; ++i) {
    if (IsProductLayout(loaded[i])) return loaded[i];
  }
  return 0;
}

}  // namespace

void ActivateImeForInstaller() {
  // Only once the install has run: from the processing page on.
  if (WizardPage < kProcessingPage) return;
  if (IsProductLayout(platform::Ime().GetKeyboardLayout())) return;
  if (InstalledLayout == 0) InstalledLayout = FindLoadedProductLayout();
  if (InstalledLayout != 0)
    platform::Ime().ActivateKeyboardLayout(InstalledLayout, win::kKlfSetForProcess);
}

}  // namespace zv
