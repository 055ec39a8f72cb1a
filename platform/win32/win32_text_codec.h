// MultiByteToWideChar / WideCharToMultiByte over the ANSI code page.
#pragma once

#include "platform/text_codec.h"

namespace zv::platform::win32 {

class Win32TextCodec : public TextCodec {
 public:
  std::u16string MultiByteToWideChar(std::string_view text) override;
  std::string WideCharToMultiByte(std::u16string_view text) override;
};

}  // namespace zv::platform::win32
