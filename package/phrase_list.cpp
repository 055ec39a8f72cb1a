#include "package/phrase_list.h"

#include <cstring>

#include "package/container_format.h"

namespace zv {
namespace {

// The scan's state: read index r, write index w, kept phrases k, checksum s.
struct PhraseScan {
  uint8_t* text;
  size_t length;
  size_t r = 0;
  size_t w = 0;
  uint32_t kept = 0;
  uint32_t checksum = 0;
};

bool IsDoubleByteAt(const PhraseScan& scan, size_t i) {
  return i + 1 < scan.length && scan.text[i] > 0x80 && scan.text[i + 1] > 0x3F;
}

bool IsSeparatorAt(const PhraseScan& scan, size_t i) {
  return i + 1 < scan.length && scan.text[i] == ';' && scan.text[i + 1] == ' ';
}

// Copies the run of double-byte characters at r to w, adding its bytes to the
// checksum. Returns the number of characters copied.
size_t CopyDoubleByteRun(PhraseScan& scan) {
  size_t characters = 0;
  while (IsDoubleByteAt(scan, scan.r)) {
    scan.text[scan.w] = scan.text[scan.r];
    scan.text[scan.w + 1] = scan.text[scan.r + 1];
    scan.checksum += scan.text[scan.r] + scan.text[scan.r + 1];
    scan.r += 2;
    scan.w += 2;
    ++characters;
  }
  return characters;
}

void CopyPair(PhraseScan& scan) {
  scan.text[scan.w] = scan.text[scan.r];
  scan.text[scan.w + 1] = scan.text[scan.r + 1];
  scan.r += 2;
  scan.w += 2;
}

// After a dropped run: skips to the next ';' (or to a byte followed by a
// blank) and copies that pair. Returns false when the text ends first, or
// when the ';' found is its last byte and no pair remains to copy.
bool SkipToSeparator(PhraseScan& scan) {
  while (scan.r < scan.length && scan.text[scan.r] != ';' &&
         !(scan.r + 1 < scan.length && scan.text[scan.r + 1] == ' ')) {
    ++scan.r;
  }
  if (scan.r + 1 >= scan.length) return false;
  CopyPair(scan);
  return true;
}

void WriteTrailer(const PhraseScan& scan) {
  uint8_t* trailer = scan.text + scan.w;
  std::memcpy(trailer, kPhraseTrailerTag, sizeof(kPhraseTrailerTag));
  WriteU32(trailer + 4, scan.checksum);
  WriteU32(trailer + 8, scan.kept);
}

}  // namespace

size_t CompactPhraseList(uint8_t* text, size_t length) {
  if (length >= kPhraseTrailerSize &&
      std::memcmp(text + length - kPhraseTrailerSize, kPhraseTrailerTag,
                  sizeof(kPhraseTrailerTag)) == 0) {
    return length - kPhraseTrailerSize;
  }
  PhraseScan scan{text, length};
  while (scan.r < scan.length) {
    const size_t runStart = scan.w;
    const size_t characters = CopyDoubleByteRun(scan);
    if (characters >= 2 && IsSeparatorAt(scan, scan.r)) {
      ++scan.kept;
      CopyPair(scan);
      continue;
    }
    scan.w = runStart;
    if (!SkipToSeparator(scan)) break;
  }
  WriteTrailer(scan);
  return scan.w;
}

}  // namespace zv
