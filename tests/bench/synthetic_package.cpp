#include "synthetic_package.h"

#include <cstdint>
#include <random>

namespace zv::bench {
namespace {

using Random = std::mt19937;

void PutU32(std::string* out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*out)[at + i] = static_cast<char>(value >> (8 * i));
}

// Machine code: a skewed mix of common opcode bytes, small immediates,
// embedded strings and zero-filled alignment.
std::string Executable(Random& random, size_t size) {
  static const uint8_t kCommon[] = {0x8B, 0x89, 0x55, 0x5D, 0xC3, 0xE8, 0x83, 0xFF, 0x74,
                                    0x75, 0x50, 0x51, 0x52, 0x53, 0x56, 0x57, 0x33, 0xC0,
                                    0x45, 0x08, 0x0C, 0x10, 0x24, 0x04, 0x00, 0x00, 0x00};
  std::string out;
  out.reserve(size);
  std::uniform_int_distribution<int> pick(0, 99);
  while (out.size() < size) {
    const int kind = pick(random);
    if (kind < 70) {
      out.push_back(static_cast<char>(kCommon[random() % sizeof(kCommon)]));
    } else if (kind < 90) {
      out.push_back(static_cast<char>(random()));
    } else if (kind < 97) {
      out += "zavo_module_entry_";
      out += std::to_string(random() % 1000);
    } else {
      out.append(16 + random() % 48, '\0');
    }
  }
  out.resize(size);
  return out;
}

// A GBK phrase dictionary: phrases of two to four characters from a
// vocabulary of common characters, each followed by "; ", some with a code.
std::string Dictionary(Random& random, size_t size) {
  std::vector<std::string> vocabulary;
  for (int i = 0; i < 3000; ++i) {
    std::string character(2, '\0');
    character[0] = static_cast<char>(0xB0 + random() % 40);
    character[1] = static_cast<char>(0xA1 + random() % 94);
    vocabulary.push_back(character);
  }
  std::geometric_distribution<size_t> frequent(0.004);
  std::string out;
  out.reserve(size + 16);
  while (out.size() < size) {
    const size_t characters = 2 + random() % 3;
    for (size_t i = 0; i < characters; ++i) {
      out += vocabulary[frequent(random) % vocabulary.size()];
    }
    if (random() % 4 == 0) {
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>('a' + random() % 26));
    }
    out += "; ";
  }
  out.resize(size);
  return out;
}

// A 24-bit bitmap: gradients, flat panels and a little noise.
std::string Bitmap(Random& random, uint32_t width, uint32_t height) {
  const uint32_t row = (width * 3 + 3) & ~3u;
  std::string out(54 + static_cast<size_t>(row) * height, '\0');
  out[0] = 'B';
  out[1] = 'M';
  PutU32(&out, 2, static_cast<uint32_t>(out.size()));
  PutU32(&out, 10, 54);
  PutU32(&out, 14, 40);
  PutU32(&out, 18, width);
  PutU32(&out, 22, height);
  out[26] = 1;
  out[28] = 24;
  const uint32_t panel = 16 + random() % 48;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const size_t at = 54 + static_cast<size_t>(y) * row + x * 3;
      const bool flat = (x / panel + y / panel) % 3 == 0;
      const uint8_t noise = static_cast<uint8_t>(random() % 4);
      out[at] = static_cast<char>(flat ? 0xF0 : (x * 255 / width) ^ noise);
      out[at + 1] = static_cast<char>(flat ? 0xE8 : (y * 255 / height));
      out[at + 2] = static_cast<char>(flat ? 0xD0 : ((x + y) & 0xFF));
    }
  }
  return out;
}

// PCM samples of a short tone with noise: hardly compressible.
std::string Sound(Random& random, size_t size) {
  std::string out(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    out[i] = static_cast<char>(128 + ((i * 7) % 64) + static_cast<int>(random() % 32));
  }
  return out;
}

}  // namespace

std::vector<NamedFile> SyntheticProductFiles() {
  Random random(20240611);
  std::vector<NamedFile> files;
  for (int i = 0; i < 4; ++i) {
    files.emplace_back("zvmod" + std::to_string(i) + ".ime",
                       Executable(random, 1200000 + i * 150000));
  }
  for (int i = 0; i < 4; ++i) {
    files.emplace_back("zvdict" + std::to_string(i) + ".zvh",
                       Dictionary(random, 1500000 + i * 80000));
  }
  for (int i = 0; i < 6; ++i) {
    files.emplace_back("zvbmpsx" + std::to_string(i) + ".bmp", Bitmap(random, 640, 480 + 40 * i));
  }
  for (int i = 0; i < 4; ++i) {
    files.emplace_back("zvsnd" + std::to_string(i) + ".wav", Sound(random, 120000));
  }
  for (int i = 0; i < 10; ++i) {
    files.emplace_back("zvset" + std::to_string(i) + ".zvh", Dictionary(random, 2000 + i * 500));
  }
  return files;
}

}  // namespace zv::bench
