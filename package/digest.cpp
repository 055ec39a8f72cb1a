#include "package/digest.h"

#include <cstring>
#include <memory>

#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv {
namespace {

constexpr size_t kReadChunk = 0x10000;
// The file may grow while it is read; this much more than its size is read.
constexpr uint64_t kReadSlack = 100;

}  // namespace

void FormatDigestText(const platform::Md5Digest& digest, char* digestText) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (size_t i = 0; i < digest.size(); ++i) {
    digestText[2 * i] = kHex[digest[i] >> 4];
    digestText[2 * i + 1] = kHex[digest[i] & 0x0F];
  }
  digestText[kDigestDigits] = '\0';
  digestText[kDigestDigits + 1] = '\0';
}

void BufferDigest(const void* data, size_t length, char* digestText) {
  std::memset(digestText, 0, kDigestTextSize);
  std::unique_ptr<platform::Md5Context> context = platform::Digests().Begin();
  if (!context) return;
  context->Update(data, length);
  FormatDigestText(context->Final(), digestText);
}

uint64_t FileDigest(const std::string& path, char* digestText) {
  std::memset(digestText, 0, kDigestTextSize);
  auto file = platform::Files().CreateFileA(path, win::kGenericRead, win::kFileShareRead,
                                            win::kOpenExisting, win::kAttributeNormal);
  if (!file) return 0;
  std::unique_ptr<platform::Md5Context> context = platform::Digests().Begin();
  const uint64_t limit = file->Size() + kReadSlack;
  auto chunk = std::make_unique<uint8_t[]>(kReadChunk);
  uint64_t total = 0;
  while (total < limit) {
    const uint64_t want = limit - total < kReadChunk ? limit - total : kReadChunk;
    uint32_t got = 0;
    if (!file->Read(chunk.get(), static_cast<uint32_t>(want), &got)) return 0;
    if (got == 0) break;
    if (context) context->Update(chunk.get(), got);
    total += got;
  }
  if (context) FormatDigestText(context->Final(), digestText);
  return total;
}

bool DigestMatches(std::string_view digestField, const char* digestText) {
  if (digestField.size() != kDigestTextSize || digestText[0] == '\0') return false;
  // The computed text is 32 digits and a NUL; the stored one matches as a
  // NUL-terminated text when its first 33 bytes are the same.
  return std::memcmp(digestField.data(), digestText, kDigestDigits + 1) == 0;
}

}  // namespace zv
