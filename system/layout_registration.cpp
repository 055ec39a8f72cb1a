#include "system/layout_registration.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/scoped_reg_key.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "platform/win_constants.h"
#include "system/layout_environment.h"
#include "system/layout_id.h"
#include "system/layout_key_names.h"
#include "system/layout_texts.h"
#include "system/preload_add.h"
#include "system/registry_text.h"

namespace zv {

namespace {

using platform::ScopedRegKey;

constexpr uint32_t kTextCapacity = 200;

// Shows the 9x text or the NT text.
void ShowFailure(bool windows9x, const char16_t* text9x, const char16_t* caption) {
  platform::Boxes().MessageBoxW(windows9x ? text9x : texts::layout::kAdministratorNeeded, caption,
                                win::kMbOk);
}

// What the walk over the layout keys found.
struct LayoutSearch {
  ScopedRegKey productKey;  // open when the product's key was found
  std::string productName;
  uint32_t highest = 0;  // the highest layout number among the other keys
};

// Walks the layout keys in the order given. Stops at the first whose layout
// text begins with the product's name, keeping it open; otherwise notes the
// highest number among the keys that have a layout text.
LayoutSearch SearchLayoutKeys(platform::RegKey layouts, const std::vector<std::string>& names,
                              const ProductLayoutForm& form) {
  LayoutSearch search;
  for (const std::string& name : names) {
    ScopedRegKey key;
    if (key.OpenA(layouts, name, win::kKeyAllAccess) != 0) continue;
    std::string text;
    if (!ReadRegistryText(key.get(), "layout text", kTextCapacity, &text)) continue;
    if (StartsWithBytes(text, form.namePrefix) != 0) {
      search.productKey = std::move(key);
      search.productName = name;
      return search;
    }
    const std::optional<uint32_t> number = LeadingHexNumber(name);
    if (number && *number > search.highest) search.highest = *number;
  }
  return search;
}

// The name the product's key must have. An earlier product key with the
// right language ending is handed back in `reuse`; one with another ending
// is deleted. Empty when no identifier is left to give out.
std::string ChooseLayoutId(platform::RegKey layouts, LayoutSearch* search,
                           const ProductLayoutForm& form, ScopedRegKey* reuse) {
  if (search->productKey.valid()) {
    if (HasLanguageEnding(search->productName, form.language) != 0) {
      *reuse = std::move(search->productKey);
      return search->productName;
    }
    search->productKey.Close();
    platform::Reg().RegDeleteKeyA(layouts, search->productName);
    return WithLanguageEnding(search->productName, form.language);
  }
  return NextLayoutId(search->highest, form.lowestIme, form.language).value_or("");
}

void WriteLayoutValues(platform::RegKey key, bool windows9x, const ProductLayoutForm& form) {
  WriteRegistryText(key, "IME file", "ZAVOLI4.IME");
  WriteRegistryText(key, "layout file", windows9x ? "kbdus.kbd" : "kbdus.dll");
  WriteRegistryText(key, "layout text", form.layoutText);
}

}  // namespace

void RegisterLayoutByHand() {
  const ProductLayoutForm form = CurrentProductForm();
  const bool windows9x = IsWindows9xFamily() != 0;
  ScopedRegKey layouts;
  if (layouts.OpenA(platform::kHkeyLocalMachine, kKeyboardLayoutsKey, win::kKeyRead) != 0) {
    ShowFailure(windows9x, texts::layout::kLayoutListOpenError9x, texts::kProductCaption);
    return;
  }
  LayoutSearch search =
      SearchLayoutKeys(layouts.get(), CollectSubKeyNamesDescending(layouts.get()), form);
  ScopedRegKey layoutKey;
  const std::string id = ChooseLayoutId(layouts.get(), &search, form, &layoutKey);
  LayoutId.AssignTruncated(id);
  if (!layoutKey.valid() &&
      (id.empty() || layoutKey.CreateA(layouts.get(), id, win::kKeyAllAccess) != 0)) {
    layouts.Close();
    ShowFailure(windows9x, texts::layout::kLayoutKeyCreateError9x,
                texts::layout::kShapeCodeCaption);
    return;
  }
  WriteLayoutValues(layoutKey.get(), windows9x, form);
  layoutKey.Close();
  layouts.Close();
  AddLayoutToPreload(id);
}

}  // namespace zv
