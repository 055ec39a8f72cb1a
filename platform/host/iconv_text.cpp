#include "platform/host/iconv_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace zv::platform::host {
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

// The descriptors opened so far on this thread, one for each pair of sets.
// Opening one looks the sets up in glibc's module cache and loads their
// tables, which costs far more than converting a short name; the fake
// machine converts every file and registry name it is given. A descriptor
// keeps a shift state between calls, so each use starts by resetting it.
class IconvCache {
 public:
  // The descriptor from `from` to `to` in its initial state, or null when
  // iconv does not know one of the sets (that answer is kept as well).
  const IconvHandle* Get(const char* from, const char* to) {
    for (const Entry& entry : entries_) {
      if (entry.from == from && entry.to == to) return Ready(*entry.handle);
    }
    entries_.push_back(Entry{from, to, std::make_unique<IconvHandle>(from, to)});
    return Ready(*entries_.back().handle);
  }

 private:
  struct Entry {
    std::string from;
    std::string to;
    std::unique_ptr<IconvHandle> handle;
  };

  static const IconvHandle* Ready(const IconvHandle& handle) {
    if (!handle.valid()) return nullptr;
    iconv(handle.get(), nullptr, nullptr, nullptr, nullptr);
    return &handle;
  }

  std::vector<Entry> entries_;
};

// The bytes of the unconvertible character at the front of `rest`: a
// surrogate pair of UTF-16 input counts as one.
size_t CharacterToSkip(bool utf16, std::string_view rest) {
  if (!utf16) return 1;
  if (rest.size() >= 4 && (static_cast<uint8_t>(rest[1]) & 0xFC) == 0xD8 &&
      (static_cast<uint8_t>(rest[3]) & 0xFC) == 0xDC) {
    return 4;
  }
  return rest.size() >= 2 ? 2 : rest.size();
}

}  // namespace

std::optional<std::string> ConvertCharset(const char* from, const char* to, std::string_view bytes,
                                          std::string_view replacement) {
  thread_local IconvCache cache;
  const IconvHandle* handle = cache.Get(from, to);
  if (handle == nullptr) return std::nullopt;
  const bool utf16 = std::strncmp(from, "UTF-16", 6) == 0;
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof(buffer);
    const size_t result = iconv(handle->get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, sizeof(buffer) - outLeft);
    if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
    out.append(replacement);
    if (errno == EINVAL) break;  // an incomplete character ends the input
    const size_t skip = CharacterToSkip(utf16, std::string_view(in, inLeft));
    in += skip;
    inLeft -= skip;
    iconv(handle->get(), nullptr, nullptr, nullptr, nullptr);
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
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                         static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  return text;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  return ConvertCharset("UTF-16LE", "UTF-8", Utf16ToBytes(text), "\xEF\xBF\xBD").value_or("");
}

std::string IconvNameOfCodePage(unsigned codePage) {
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

}  // namespace zv::platform::host
