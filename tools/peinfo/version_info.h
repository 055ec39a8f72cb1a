// The version resource (RT_VERSION): its fixed file information, string
// tables and translations.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/peinfo/byte_view.h"

namespace zv::pe {

// VS_FIXEDFILEINFO: each version as its four 16-bit parts, major first.
struct FixedFileInfo {
  uint16_t file_version[4] = {0, 0, 0, 0};
  uint16_t product_version[4] = {0, 0, 0, 0};
  uint32_t flags_mask = 0;
  uint32_t flags = 0;
  uint32_t os = 0;
  uint32_t type = 0;
  uint32_t subtype = 0;
};

// One StringFileInfo table: its key ("080404b0": language and code page in
// hexadecimal) and its name/value pairs in resource order.
struct VersionStringTable {
  std::u16string key;
  std::vector<std::pair<std::u16string, std::u16string>> strings;
};

struct VersionInfo {
  FixedFileInfo fixed;
  std::vector<VersionStringTable> string_tables;
  // The VarFileInfo "Translation" pairs: language, code page.
  std::vector<std::pair<uint16_t, uint16_t>> translations;

  // The value of `name` in the table `table_key`; false when absent.
  bool FindString(const std::u16string& table_key, const std::u16string& name,
                  std::u16string* value) const;
};

// Parses a VS_VERSIONINFO block. Fails when a block's length runs past its
// parent, the root is not "VS_VERSION_INFO" or the fixed information is
// missing or lacks its signature.
bool ParseVersionInfo(const ByteView& bytes, VersionInfo* info, std::string* error);

// "7.8.0.0".
std::string FormatVersion(const uint16_t parts[4]);

}  // namespace zv::pe
