// The generated demo package, read once for all its tests: the container's
// bytes and every record unpacked. ZV_DEMO_DIR (set by the build) names the
// folder the generator wrote.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "package/container_format.h"

namespace zv::demo {

struct DemoRecord {
  std::string name;         // 8-bit (GBK) bytes
  std::string nameField;    // the whole name field
  std::string digestField;  // the 34 bytes at offset 18 (digest layout)
  uint32_t streamSize = 0;
  std::string content;  // the inflated stream
  std::string problem;  // why the stream did not inflate in full; empty when it did
};

struct DemoPackage {
  std::string error;  // why the package could not be read; empty when it was
  std::string bytes;
  std::vector<DemoRecord> records;
  std::map<std::string, size_t> index;  // name -> position in records

  ContainerBytes container() const {
    return ContainerBytes{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  }
  // The record called `name`, or null.
  const DemoRecord* Find(const std::string& name) const;
};

// The folder the generator wrote: demo.zvz, demo.json, zavocyzk_trailer.bak.
std::string DemoDir();

// The whole file at `path`; `*ok` is false when it cannot be read.
std::string ReadWholeFile(const std::string& path, bool* ok);

// The demo package, read and unpacked on first use.
const DemoPackage& Demo();

// Walks `container` with the installer's reader and inflates every record.
// Returns false, with the reason in `error`, when the walk stops early.
bool UnpackContainer(ContainerBytes container, std::vector<DemoRecord>* records,
                     std::string* error);

// Inflates the zlib stream `stream`; false, with the reason, unless it is a
// whole stream that ends exactly at the end of `stream`.
bool InflateStream(std::string_view stream, std::string* content, std::string* problem);

// The 32 upper-case hexadecimal digits of the MD5 of `data`.
std::string Md5Digits(std::string_view data);

// The names of the eight files of every skin archive.
const std::vector<std::string>& SkinFileNames();

// "冷色瓷面.zvz", "小天使.zvz", "粉色瓷面.zvz" in GBK.
extern const char kColdPorcelainSkin[];
extern const char kLittleAngelSkin[];
extern const char kPinkPorcelainSkin[];

// Reads the little-endian integers at `offset` of `bytes` (0 past the end).
uint32_t U32At(std::string_view bytes, size_t offset);
uint16_t U16At(std::string_view bytes, size_t offset);

}  // namespace zv::demo
