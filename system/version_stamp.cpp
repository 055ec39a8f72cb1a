#include "system/version_stamp.h"

#include <cstring>

#include "package/file_io.h"
#include "package/file_replace.h"
#include "package/work_buffer.h"
#include "platform/services.h"

namespace zv {
namespace {

// "智能岚汀输入平台" in UTF-16 little-endian.
constexpr char kBrandPattern[] = "\x7a\x66\xfd\x80\x9a\x5c\x40\x6c\x93\x8f\x65\x51\x73\x5e\xf0\x53";
constexpr size_t kBrandPatternSize = 16;
// Read limit: files far beyond any IME module are not taken in.
constexpr size_t kStampReadLimit = 64u << 20;

}  // namespace

int StampVersionBytes(std::string* bytes) {
  std::string& b = *bytes;
  const size_t n = b.size();
  int stamped = 0;
  size_t p = 0;
  while (p + kBrandPatternSize <= n) {
    if (std::memcmp(&b[p], kBrandPattern, kBrandPatternSize) != 0) {
      ++p;
      continue;
    }
    const size_t q = p + kBrandPatternSize;
    // The low bytes of " ", any character, '6', '.', '3' or '7'.
    if (q + 8 < n && b[q] == ' ' && b[q + 4] == '6' && b[q + 6] == '.' &&
        (b[q + 8] == '3' || b[q + 8] == '7')) {
      b[q + 4] = '7';
      b[q + 8] = '8';
      ++stamped;
    }
    p = q + 1;
  }
  return stamped;
}

void StampImeVersion(const std::string& path) {
  if (WorkBuffer == nullptr) return;
  std::string bytes;
  if (!ReadFileBytes(path, kStampReadLimit + 1, &bytes)) return;
  if (bytes.size() > kStampReadLimit) return;  // never cut a tail off
  if (StampVersionBytes(&bytes) == 0) return;
  // Written beside the module and swapped in: a full disk, or a file that
  // another program holds, leaves the unstamped module whole.
  WriteFileBesideAndSwap(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace zv
