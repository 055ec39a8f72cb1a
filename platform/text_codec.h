// Conversions between 8-bit text in the system's ANSI code page (GBK on 936,
// Big5 on 950) and UTF-16, as MultiByteToWideChar and WideCharToMultiByte
// with CP_ACP do them. The installer keeps its own texts in UTF-16 and turns
// them into 8-bit text at the moment they are shown or written.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace zv::platform {

class TextCodec {
 public:
  virtual ~TextCodec() = default;
  // MultiByteToWideChar(CP_ACP, 0, ...): bytes that form no character of the
  // code page become the code page's default character.
  virtual std::u16string MultiByteToWideChar(std::string_view text) = 0;
  // WideCharToMultiByte(CP_ACP, 0, ...): characters the code page lacks
  // become its default character ('?').
  virtual std::string WideCharToMultiByte(std::u16string_view text) = 0;
};

namespace detail {
inline TextCodec* g_textCodec = nullptr;
}  // namespace detail

// Installs the codec for the whole process (null removes it). The codec must
// stay valid until the next call.
inline void SetTextCodec(TextCodec* codec) { detail::g_textCodec = codec; }

// The installed codec; aborts the process with a message when none is.
inline TextCodec& Codec() {
  if (detail::g_textCodec == nullptr) {
    std::fprintf(stderr, "platform service text codec used before it was installed\n");
    std::abort();
  }
  return *detail::g_textCodec;
}

}  // namespace zv::platform
