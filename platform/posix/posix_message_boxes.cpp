#include <cstdio>

#include "platform/host/iconv_text.h"
#include "platform/posix/posix_services.h"
#include "platform/win_constants.h"

namespace zv::platform::posix {
namespace {

int AnswerOf(uint32_t type) { return (type & 0xF) == win::kMbYesNo ? win::kIdNo : win::kIdOk; }

}  // namespace

int PosixMessageBoxes::MessageBoxA(const std::string& text, const std::string& caption,
                                   uint32_t type) {
  return MessageBoxW(codec_.MultiByteToWideChar(text), codec_.MultiByteToWideChar(caption), type);
}

int PosixMessageBoxes::MessageBoxW(const std::u16string& text, const std::u16string& caption,
                                   uint32_t type) {
  std::fprintf(stderr, "%s: %s\n", host::Utf16ToUtf8(caption).c_str(),
               host::Utf16ToUtf8(text).c_str());
  return AnswerOf(type);
}

}  // namespace zv::platform::posix
