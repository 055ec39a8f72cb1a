#include "system/layout_environment.h"

#include "platform/services.h"
#include "state/run_state.h"
#include "system/layout_texts.h"

namespace zv {

namespace {

constexpr uint32_t kWindows9xBit = 0x80000000u;
constexpr uint32_t kTraditionalChineseCodePage = 950;

}  // namespace

int IsWindows9xFamily() { return (platform::System().GetVersion() & kWindows9xBit) != 0 ? 1 : 0; }

ProductLayoutForm CurrentProductForm() {
  if (UiCodePage == kTraditionalChineseCodePage) {
    return ProductLayoutForm{texts::layout::kImeNamePrefixBig5, texts::layout::kImeLayoutTextBig5,
                             "404", 0xE0000404u};
  }
  return ProductLayoutForm{texts::layout::kImeNamePrefixGbk, texts::layout::kImeLayoutTextGbk,
                           "804", 0xE0000804u};
}

int StartsWithBytes(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix ? 1 : 0;
}

}  // namespace zv
