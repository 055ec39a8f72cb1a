#include "system/default_ime_check.h"

#include "platform/services.h"
#include "platform/win_constants.h"
#include "system/install_locations.h"
#include "system/layout_environment.h"
#include "system/layout_texts.h"
#include "system/preload_list.h"
#include "system/preload_reorder.h"

namespace zv {

namespace {

int Show(const char16_t* text, uint32_t type = win::kMbOk) {
  return platform::Boxes().MessageBoxW(text, texts::kSetupCaption, type);
}

// The product is place 1: say so, and on a 32-bit Windows with another
// layout to take its place, offer the exchange. Always stops the install.
int RefuseAsDefault() {
  if (PreloadList.count < 2) {
    Show(texts::layout::kOnlyInputMethod);
    return 0;
  }
  Show(texts::layout::kDefaultInputMethod);
  if (DetectSystem() == 1) return 0;
  if (Show(texts::layout::kMakeNonDefaultQuestion, win::kMbYesNo) != win::kIdYes) return 0;
  SwapFirstTwoPreloadEntries();
  Show(texts::layout::kRestartThenInstall);
  return 0;
}

}  // namespace

int CheckImeNotDefault() {
  FindImeInPreload();
  if (ImeInPreload != 0 && ImePreloadPosition == 1) return RefuseAsDefault();
  platform::InputMethods& ime = platform::Ime();
  if (StartsWithBytes(ime.ImmGetDescriptionA(ime.GetKeyboardLayout()),
                      texts::layout::kImeNamePrefixGbk) != 0) {
    Show(texts::layout::kShapeCodeDefault);
    return 0;
  }
  return 1;
}

}  // namespace zv
