#include "package/extract_message.h"

#include <string>

#include "package/package_texts.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "platform/win_constants.h"
#include "state/message_text.h"

namespace zv {

void ShowRecordFailure(std::string_view name) {
  const std::u16string wideName = platform::Codec().MultiByteToWideChar(name);
  platform::Boxes().MessageBoxW(FillNameSlot<char16_t>(texts::kRecordExtractFailed, wideName),
                                texts::kSetupCaption, win::kMbOk);
}

}  // namespace zv
