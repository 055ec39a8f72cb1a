#include "system/ime_registration.h"

#include <string>

#include "platform/services.h"

namespace zv {

platform::LayoutHandle InstalledLayout = 0;
int32_t ImeRegistered = 0;

// Two blanks stand before the version.
const char16_t kImeLayoutTextWide[] = u"智能岚汀输入平台  7.8";

int RegisterImeWithSystem() {
  const std::u16string systemDir = platform::System().GetSystemDirectoryW(100);
  const std::u16string imeFile = systemDir + u"\\zavoli4.ime";
  InstalledLayout = platform::Ime().ImmInstallIMEW(imeFile, kImeLayoutTextWide);
  return InstalledLayout != 0 ? 1 : 0;
}

}  // namespace zv
