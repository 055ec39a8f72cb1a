#include "platform/host/iconv_text.h"
#include "platform/posix/posix_services.h"

namespace zv::platform::posix {

using host::BytesToUtf16;
using host::ConvertCharset;
using host::Utf16ToBytes;

PosixTextCodec::PosixTextCodec(unsigned codePage) : charset_(host::IconvNameOfCodePage(codePage)) {}

std::u16string PosixTextCodec::MultiByteToWideChar(std::string_view text) {
  return BytesToUtf16(
      ConvertCharset(charset_.c_str(), "UTF-16LE", text, std::string_view("?\0", 2)).value_or(""));
}

std::string PosixTextCodec::WideCharToMultiByte(std::u16string_view text) {
  return ConvertCharset("UTF-16LE", charset_.c_str(), Utf16ToBytes(text), "?").value_or("");
}

}  // namespace zv::platform::posix
