#include "platform/fake/fake_text_codec.h"

#include "platform/fake/code_page.h"
#include "platform/services.h"

namespace zv::fake {

std::u16string FakeTextCodec::MultiByteToWideChar(std::string_view text) {
  return AnsiToUtf16(platform::System().GetACP(), text);
}

std::string FakeTextCodec::WideCharToMultiByte(std::u16string_view text) {
  return Utf16ToAnsi(platform::System().GetACP(), text);
}

}  // namespace zv::fake
