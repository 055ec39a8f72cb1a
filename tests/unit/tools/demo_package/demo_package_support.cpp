#include "demo_package_support.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "package/container_reader.h"

namespace zv::demo {

const char kColdPorcelainSkin[] = "\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.zvz";
const char kLittleAngelSkin[] = "\xD0\xA1\xCC\xEC\xCA\xB9.zvz";
const char kPinkPorcelainSkin[] = "\xB7\xDB\xC9\xAB\xB4\xC9\xC3\xE6.zvz";

const DemoRecord* DemoPackage::Find(const std::string& name) const {
  auto found = index.find(name);
  return found == index.end() ? nullptr : &records[found->second];
}

std::string DemoDir() { return ZV_DEMO_DIR; }

std::string ReadWholeFile(const std::string& path, bool* ok) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *ok = false;
    return std::string();
  }
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  *ok = !file.bad();
  return bytes;
}

bool InflateStream(std::string_view stream, std::string* content, std::string* problem) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) {
    *problem = "zlib cannot start";
    return false;
  }
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
  z.avail_in = static_cast<uInt>(stream.size());
  content->clear();
  int result = Z_OK;
  char chunk[65536];
  while (result == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(chunk);
    z.avail_out = sizeof chunk;
    result = inflate(&z, Z_NO_FLUSH);
    content->append(chunk, sizeof chunk - z.avail_out);
  }
  const bool whole = result == Z_STREAM_END && z.avail_in == 0;
  inflateEnd(&z);
  if (!whole) {
    *problem = result == Z_STREAM_END ? "bytes follow the zlib stream"
                                      : "the zlib stream is damaged or cut short";
  }
  return whole;
}

bool UnpackContainer(ContainerBytes container, std::vector<DemoRecord>* records,
                     std::string* error) {
  ContainerReader reader(container);
  PackageEntry entry;
  while (reader.Next(&entry)) {
    DemoRecord record;
    record.name = std::string(entry.name);
    record.nameField = std::string(entry.nameField);
    record.digestField = std::string(entry.digestField);
    record.streamSize = entry.streamSize;
    InflateStream(std::string_view(reinterpret_cast<const char*>(entry.stream), entry.streamSize),
                  &record.content, &record.problem);
    records->push_back(std::move(record));
  }
  if (reader.stop() != WalkStop::kNone || reader.recordsRead() != reader.recordCount()) {
    *error = "the walk stopped after " + std::to_string(reader.recordsRead()) + " of " +
             std::to_string(reader.recordCount()) + " records";
    return false;
  }
  return true;
}

const DemoPackage& Demo() {
  static const DemoPackage* const package = [] {
    auto* loaded = new DemoPackage;
    bool ok = false;
    loaded->bytes = ReadWholeFile(DemoDir() + "/demo.zvz", &ok);
    if (!ok) {
      loaded->error = "cannot read " + DemoDir() + "/demo.zvz; build the target zv_demo_package";
      return loaded;
    }
    UnpackContainer(loaded->container(), &loaded->records, &loaded->error);
    for (size_t i = 0; i < loaded->records.size(); ++i) {
      loaded->index.emplace(loaded->records[i].name, i);
    }
    return loaded;
  }();
  return *package;
}

std::string Md5Digits(std::string_view data) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(data.data(), data.size(), digest, &length, EVP_md5(), nullptr);
  std::string digits;
  for (unsigned int i = 0; i < length; ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02X", digest[i]);
    digits += pair;
  }
  return digits;
}

const std::vector<std::string>& SkinFileNames() {
  static const std::vector<std::string> names = {"zvbmp8.zvh",   "zvbmpsx1.bmp", "zvbmpsx2.bmp",
                                                 "zvbmpsx3.bmp", "zvbmpsx4.bmp", "zvbmpsx5.bmp",
                                                 "zvbmpsx6.bmp", "zvbmpsx7.bmp"};
  return names;
}

uint32_t U32At(std::string_view bytes, size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 4) return 0;
  return ReadU32(reinterpret_cast<const uint8_t*>(bytes.data()) + offset);
}

uint16_t U16At(std::string_view bytes, size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 2) return 0;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data()) + offset;
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

}  // namespace zv::demo
