#include "system/path_text.h"

#include "platform/services.h"

namespace zv {

bool IsLeadByte(uint32_t codePage, uint8_t byte) {
  switch (codePage) {
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    case 932:
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    default:
      return false;
  }
}

bool EndsWithBackslash(std::string_view path) {
  const uint32_t codePage = platform::System().GetACP();
  size_t lastStart = path.size();
  for (size_t i = 0; i < path.size();) {
    lastStart = i;
    const bool pair = IsLeadByte(codePage, static_cast<uint8_t>(path[i])) && i + 1 < path.size();
    i += pair ? 2 : 1;
  }
  return lastStart < path.size() && lastStart == path.size() - 1 && path[lastStart] == '\\';
}

}  // namespace zv
