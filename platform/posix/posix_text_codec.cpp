#include "platform/posix/iconv_text.h"
#include "platform/posix/posix_services.h"

namespace zv::platform::posix {

PosixTextCodec::PosixTextCodec(unsigned codePage) : charset_(IconvNameOfCodePage(codePage)) {}

std::u16string PosixTextCodec::MultiByteToWideChar(std::string_view text) {
  return BytesToUtf16(ConvertCharset(charset_.c_str(), "UTF-16LE", text));
}

std::string PosixTextCodec::WideCharToMultiByte(std::u16string_view text) {
  return ConvertCharset("UTF-16LE", charset_.c_str(), Utf16ToBytes(text));
}

}  // namespace zv::platform::posix
