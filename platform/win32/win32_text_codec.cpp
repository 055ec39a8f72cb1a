#include "platform/win32/win32_text_codec.h"

#include <windows.h>

#include <climits>

namespace zv::platform::win32 {

std::u16string Win32TextCodec::MultiByteToWideChar(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return std::u16string();
  const int length = static_cast<int>(text.size());
  const int needed = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::u16string();
  std::u16string wide(static_cast<size_t>(needed), u'\0');
  const int got = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length,
                                        reinterpret_cast<wchar_t*>(&wide[0]), needed);
  wide.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return wide;
}

std::string Win32TextCodec::WideCharToMultiByte(std::u16string_view text) {
  if (text.empty() || text.size() > INT_MAX) return std::string();
  const int length = static_cast<int>(text.size());
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int needed = ::WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string narrow(static_cast<size_t>(needed), '\0');
  const int got =
      ::WideCharToMultiByte(CP_ACP, 0, wide, length, &narrow[0], needed, nullptr, nullptr);
  narrow.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return narrow;
}

}  // namespace zv::platform::win32
