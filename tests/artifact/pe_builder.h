// Builds small, well-formed PE images in memory for the parser's tests, and
// reports where their parts lie so that a test can damage one of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/peinfo/pe_image.h"
#include "tools/peinfo/resources.h"

namespace zv::pe::testing {

struct BuiltResource {
  ResourceId type;
  ResourceId name;
  uint16_t language = 0;
  std::vector<uint8_t> data;
};

// File offsets of the parts of a built image.
struct BuiltLayout {
  size_t pe_header = 0;       // the "PE\0\0" signature
  size_t section_table = 0;   // the first section header
  size_t import_table = 0;    // the first import descriptor
  size_t resource_root = 0;   // the root resource directory
  size_t end_of_headers = 0;  // where the first section's raw data starts
};

class PeBuilder {
 public:
  PeBuilder& SetMachine(uint16_t machine);
  PeBuilder& SetSubsystem(uint16_t subsystem);
  PeBuilder& SetPe32Plus(bool pe32_plus);
  PeBuilder& SetTimeStamp(uint32_t time_stamp);
  PeBuilder& SetHeaderVersions(HeaderVersion os, HeaderVersion subsystem);
  // Imports `functions` from `dll`; "#N" imports ordinal N. A DLL without
  // functions gets an empty lookup table.
  PeBuilder& AddImport(const std::string& dll, const std::vector<std::string>& functions = {});
  PeBuilder& AddResource(BuiltResource resource);

  // The image: headers, an ".idata" section with the import descriptors,
  // the DLL names, then the lookup tables and function names, and an ".rsrc" section with the
  // resource tree and data.
  std::vector<uint8_t> Build(BuiltLayout* layout = nullptr) const;

 private:
  std::vector<uint8_t> BuildImports(uint32_t section_rva, size_t* table_size) const;
  std::vector<uint8_t> BuildResources(uint32_t section_rva) const;

  uint16_t machine_ = 0x014C;
  uint16_t subsystem_ = 2;
  bool pe32_plus_ = false;
  uint32_t time_stamp_ = 0;
  HeaderVersion os_version_{4, 0};
  HeaderVersion subsystem_version_{4, 0};
  std::vector<std::pair<std::string, std::vector<std::string>>> imports_;
  std::vector<BuiltResource> resources_;
};

// A version block: header, key, value aligned to 32 bits, children.
std::vector<uint8_t> VersionBlock(const std::u16string& key, bool text,
                                  const std::vector<uint8_t>& value,
                                  const std::vector<std::vector<uint8_t>>& children);

// A VS_VERSIONINFO for `file_version` (four parts) holding one string table
// `table_key` with `strings`, and the translation `language`/`code_page`.
std::vector<uint8_t> VersionResource(
    const uint16_t file_version[4], const std::u16string& table_key,
    const std::vector<std::pair<std::u16string, std::u16string>>& strings, uint16_t language,
    uint16_t code_page);

// A group icon directory with one entry, and the matching RT_ICON DIB
// header with palette but without pixels (enough for the parser).
std::vector<uint8_t> IconGroupResource(uint8_t width, uint8_t height, uint8_t colours,
                                       uint16_t bit_count, uint16_t icon_id);
std::vector<uint8_t> IconImageResource(int32_t width, int32_t height, uint16_t bit_count);

// Little-endian stores into a byte vector (which must be large enough).
void Put16(std::vector<uint8_t>* bytes, size_t offset, uint16_t value);
void Put32(std::vector<uint8_t>* bytes, size_t offset, uint32_t value);

}  // namespace zv::pe::testing
