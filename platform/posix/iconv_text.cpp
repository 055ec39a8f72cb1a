#include "platform/posix/iconv_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace zv::platform::posix {
namespace {

class IconvHandle {
 public:
  IconvHandle(const char* from, const char* to) : handle_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (valid()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

// Converts as much as converts; returns false at input that does not.
bool ConvertRun(iconv_t handle, const char** in, size_t* inLeft, std::string* out) {
  char buffer[256];
  while (*inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof(buffer);
    const size_t result = iconv(handle, const_cast<char**>(in), inLeft, &outPtr, &outLeft);
    out->append(buffer, sizeof(buffer) - outLeft);
    if (result == static_cast<size_t>(-1) && errno != E2BIG) return false;
  }
  return true;
}

}  // namespace

std::string ConvertCharset(const char* from, const char* to, std::string_view bytes) {
  IconvHandle handle(from, to);
  IconvHandle question("ASCII", to);
  std::string out;
  if (!handle.valid()) return out;
  // UTF-16 input is skipped a code unit at a time, anything else a byte.
  const size_t unit = std::strncmp(from, "UTF-16", 6) == 0 ? 2 : 1;
  const char* in = bytes.data();
  size_t inLeft = bytes.size();
  while (!ConvertRun(handle.get(), &in, &inLeft, &out)) {
    iconv(handle.get(), nullptr, nullptr, nullptr, nullptr);
    const char* mark = "?";
    size_t markLeft = 1;
    if (question.valid()) ConvertRun(question.get(), &mark, &markLeft, &out);
    const size_t skip = inLeft < unit ? inLeft : unit;
    in += skip;
    inLeft -= skip;
  }
  return out;
}

std::string Utf16ToBytes(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

std::u16string BytesToUtf16(std::string_view bytes) {
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                         static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  return text;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  return ConvertCharset("UTF-16LE", "UTF-8", Utf16ToBytes(text));
}

std::string IconvNameOfCodePage(unsigned codePage) {
  if (codePage == 65001) return "UTF-8";
  return "CP" + std::to_string(codePage);
}

}  // namespace zv::platform::posix
