#include "system/ime_registration.h"

#include <string>

#include "package/package_entries.h"
#include "platform/services.h"
#include "system/layout_texts.h"

namespace zv {

int RegisterImeWithSystem() {
  const std::u16string systemDir = platform::System().GetSystemDirectoryW(100);
  const std::u16string imeFile = systemDir + u"\\" + entries::WideName(entries::kFullIme32);
  InstalledLayout = platform::Ime().ImmInstallIMEW(imeFile, texts::layout::kImeLayoutText);
  return InstalledLayout != 0 ? 1 : 0;
}

}  // namespace zv
