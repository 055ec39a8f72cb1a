#include "platform/fake/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace zv::fake {
namespace {

// An iconv conversion descriptor, closed when the object goes away.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `input`, writing `replacement` and skipping `skip(rest)` bytes
  // wherever the input holds something the target cannot express.
  template <typename Skip>
  std::string Run(std::string_view input, std::string_view replacement, Skip skip) {
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof(buffer);
      size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer, static_cast<size_t>(outPtr - buffer));
      if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
      out.append(replacement);
      if (errno == EINVAL) break;  // an incomplete character ends the input
      size_t n = skip(std::string_view(in, inLeft));
      in += n;
      inLeft -= n;
    }
    return out;
  }

 private:
  iconv_t cd_;
};

std::string IconvName(uint32_t codePage) {
  switch (codePage) {
    case 65001:
      return "UTF-8";
    case 20127:
      return "ASCII";
    case 28591:
      return "ISO-8859-1";
    default:
      return "CP" + std::to_string(codePage);
  }
}

}  // namespace

bool IsLeadByte(uint32_t codePage, uint8_t byte) {
  switch (codePage) {
    case 936:  // GBK
    case 949:  // Unified Hangul
    case 950:  // Big5
      return byte >= 0x81 && byte <= 0xFE;
    case 932:  // Shift-JIS
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    default:
      return false;
  }
}

size_t CharacterLength(uint32_t codePage, std::string_view text, size_t index) {
  if (index + 1 < text.size() && IsLeadByte(codePage, static_cast<uint8_t>(text[index]))) return 2;
  return 1;
}

std::u16string AnsiToUtf16(uint32_t codePage, std::string_view text) {
  Converter converter("UTF-16LE", IconvName(codePage).c_str());
  if (!converter.valid()) {
    std::u16string out;
    for (char c : text) out.push_back(static_cast<uint8_t>(c));
    return out;
  }
  std::string bytes =
      converter.Run(text, std::string_view("?\0", 2), [](std::string_view) { return size_t{1}; });
  return BytesToUtf16(bytes);
}

std::string Utf16ToAnsi(uint32_t codePage, std::u16string_view text) {
  std::string bytes = Utf16ToBytes(text);
  Converter converter(IconvName(codePage).c_str(), "UTF-16LE");
  if (!converter.valid()) {
    std::string out;
    for (char16_t c : text) out.push_back(c < 0x100 ? static_cast<char>(c) : '?');
    return out;
  }
  // A surrogate pair is one character: skip both halves.
  auto skip = [](std::string_view rest) {
    if (rest.size() >= 4 && (static_cast<uint8_t>(rest[1]) & 0xFC) == 0xD8 &&
        (static_cast<uint8_t>(rest[3]) & 0xFC) == 0xDC) {
      return size_t{4};
    }
    return rest.size() >= 2 ? size_t{2} : rest.size();
  };
  return converter.Run(bytes, "?", skip);
}

std::string FoldAnsi(uint32_t codePage, std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size();) {
    size_t length = CharacterLength(codePage, out, i);
    if (length == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] + 32);
    i += length;
  }
  return out;
}

std::u16string FoldUtf16(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  }
  return out;
}

std::string Utf16ToBytes(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

std::u16string BytesToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    out.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                        (static_cast<uint8_t>(bytes[i + 1]) << 8)));
  }
  return out;
}

}  // namespace zv::fake
