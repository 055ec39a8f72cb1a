#include "package/extract_message.h"

#include <string>

#include "package/package_texts.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "platform/win_constants.h"

namespace zv {
namespace {

std::u16string FormatWithName(std::u16string_view format, std::u16string_view name) {
  std::u16string text(format);
  const size_t slot = text.find(u"%s");
  if (slot != std::u16string::npos) text.replace(slot, 2, name);
  return text;
}

}  // namespace

void ShowRecordFailure(std::string_view name) {
  const std::u16string wideName = platform::Codec().MultiByteToWideChar(name);
  platform::Boxes().MessageBoxW(FormatWithName(texts::kRecordExtractFailed, wideName),
                                texts::kSetupCaption, win::kMbOk);
}

}  // namespace zv
