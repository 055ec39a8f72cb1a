#include "tests/artifact/pe_builder.h"

#include <algorithm>
#include <string>
#include <utility>

namespace zv::pe::testing {
namespace {

constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr size_t kPeOffset = 0x80;
constexpr uint32_t kImportRva = 0x1000;
constexpr uint32_t kResourceRva = 0x2000;

size_t AlignUp(size_t value, size_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

void Append16(std::vector<uint8_t>* bytes, uint16_t value) {
  bytes->push_back(static_cast<uint8_t>(value));
  bytes->push_back(static_cast<uint8_t>(value >> 8));
}

void Append32(std::vector<uint8_t>* bytes, uint32_t value) {
  Append16(bytes, static_cast<uint16_t>(value));
  Append16(bytes, static_cast<uint16_t>(value >> 16));
}

void PadTo4(std::vector<uint8_t>* bytes) { bytes->resize(AlignUp(bytes->size(), 4)); }

// The distinct values of `key(resource)` among `resources`, in first-seen
// order, each with the resources that have it.
template <typename Key>
std::vector<std::pair<ResourceId, std::vector<const BuiltResource*>>> GroupBy(
    const std::vector<const BuiltResource*>& resources, Key key) {
  std::vector<std::pair<ResourceId, std::vector<const BuiltResource*>>> groups;
  for (const BuiltResource* resource : resources) {
    const ResourceId& id = key(*resource);
    auto it = groups.begin();
    while (it != groups.end() && !it->first.Matches(id)) ++it;
    if (it == groups.end()) {
      groups.push_back({id, {}});
      it = groups.end() - 1;
    }
    it->second.push_back(resource);
  }
  return groups;
}

// Serialises the resource tree. Directories come first, then the data
// entries, the name strings and the data itself.
class ResourceWriter {
 public:
  explicit ResourceWriter(uint32_t section_rva) : section_rva_(section_rva) {}

  std::vector<uint8_t> Write(const std::vector<BuiltResource>& resources) {
    std::vector<const BuiltResource*> all;
    for (const BuiltResource& resource : resources) all.push_back(&resource);
    Plan(all);
    WriteDirectories();
    return out_;
  }

 private:
  struct Directory {
    size_t offset;
    std::vector<std::pair<ResourceId, size_t>> entries;  // id, index of child
    bool leaves;  // children are data entries rather than directories
  };

  // Lays out every directory so that entries can point forward.
  void Plan(const std::vector<const BuiltResource*>& all) {
    auto types = GroupBy(all, [](const BuiltResource& r) -> const ResourceId& { return r.type; });
    directories_.push_back({0, {}, false});
    for (auto& [type, of_type] : types) {
      const size_t type_dir = directories_.size();
      directories_.push_back({0, {}, false});
      directories_[0].entries.push_back({type, type_dir});
      auto names =
          GroupBy(of_type, [](const BuiltResource& r) -> const ResourceId& { return r.name; });
      for (auto& [name, of_name] : names) {
        const size_t name_dir = directories_.size();
        directories_.push_back({0, {}, true});
        directories_[type_dir].entries.push_back({name, name_dir});
        for (const BuiltResource* resource : of_name) {
          directories_[name_dir].entries.push_back(
              {ResourceId::Number(resource->language), leaves_.size()});
          leaves_.push_back(resource);
        }
      }
    }
    size_t offset = 0;
    for (Directory& directory : directories_) {
      directory.offset = offset;
      offset += 16 + 8 * directory.entries.size();
    }
    data_entries_offset_ = offset;
  }

  void WriteDirectories() {
    out_.resize(data_entries_offset_ + 16 * leaves_.size());
    std::vector<std::pair<size_t, std::u16string>> name_fields;
    for (const Directory& directory : directories_) {
      Put16(&out_, directory.offset + 14, static_cast<uint16_t>(directory.entries.size()));
      for (size_t i = 0; i < directory.entries.size(); ++i) {
        const auto& [id, child] = directory.entries[i];
        const size_t at = directory.offset + 16 + 8 * i;
        if (id.named) name_fields.push_back({at, id.name});
        Put32(&out_, at, id.named ? 0 : id.number);
        const uint32_t target =
            directory.leaves ? static_cast<uint32_t>(data_entries_offset_ + 16 * child)
                             : static_cast<uint32_t>(directories_[child].offset) | 0x80000000u;
        Put32(&out_, at + 4, target);
      }
    }
    for (const auto& [at, name] : name_fields) {
      PadTo4(&out_);
      Put32(&out_, at, static_cast<uint32_t>(out_.size()) | 0x80000000u);
      Append16(&out_, static_cast<uint16_t>(name.size()));
      for (char16_t c : name) Append16(&out_, c);
    }
    for (size_t i = 0; i < leaves_.size(); ++i) {
      PadTo4(&out_);
      const size_t entry = data_entries_offset_ + 16 * i;
      Put32(&out_, entry, section_rva_ + static_cast<uint32_t>(out_.size()));
      Put32(&out_, entry + 4, static_cast<uint32_t>(leaves_[i]->data.size()));
      out_.insert(out_.end(), leaves_[i]->data.begin(), leaves_[i]->data.end());
    }
  }

  uint32_t section_rva_;
  std::vector<Directory> directories_;
  std::vector<const BuiltResource*> leaves_;
  size_t data_entries_offset_ = 0;
  std::vector<uint8_t> out_;
};

void WriteSectionHeader(std::vector<uint8_t>* image, size_t at, const char* name, uint32_t rva,
                        uint32_t size, uint32_t raw_offset) {
  for (size_t i = 0; name[i] != '\0' && i < 8; ++i)
    (*image)[at + i] = static_cast<uint8_t>(name[i]);
  Put32(image, at + 8, size);
  Put32(image, at + 12, rva);
  Put32(image, at + 16, static_cast<uint32_t>(AlignUp(size, kFileAlignment)));
  Put32(image, at + 20, raw_offset);
  Put32(image, at + 36, 0x40000040u);  // initialised data, readable
}

}  // namespace

void Put16(std::vector<uint8_t>* bytes, size_t offset, uint16_t value) {
  (*bytes)[offset] = static_cast<uint8_t>(value);
  (*bytes)[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>* bytes, size_t offset, uint32_t value) {
  Put16(bytes, offset, static_cast<uint16_t>(value));
  Put16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

PeBuilder& PeBuilder::SetMachine(uint16_t machine) {
  machine_ = machine;
  return *this;
}

PeBuilder& PeBuilder::SetSubsystem(uint16_t subsystem) {
  subsystem_ = subsystem;
  return *this;
}

PeBuilder& PeBuilder::SetPe32Plus(bool pe32_plus) {
  pe32_plus_ = pe32_plus;
  return *this;
}

PeBuilder& PeBuilder::SetTimeStamp(uint32_t time_stamp) {
  time_stamp_ = time_stamp;
  return *this;
}

PeBuilder& PeBuilder::SetHeaderVersions(HeaderVersion os, HeaderVersion subsystem) {
  os_version_ = os;
  subsystem_version_ = subsystem;
  return *this;
}

PeBuilder& PeBuilder::AddImport(const std::string& dll, const std::vector<std::string>& functions) {
  imports_.push_back({dll, functions});
  return *this;
}

PeBuilder& PeBuilder::AddResource(BuiltResource resource) {
  resources_.push_back(std::move(resource));
  return *this;
}

std::vector<uint8_t> PeBuilder::BuildImports(uint32_t section_rva, size_t* table_size) const {
  *table_size = 20 * (imports_.size() + 1);
  std::vector<uint8_t> bytes(*table_size);
  for (size_t i = 0; i < imports_.size(); ++i) {
    const std::string& dll = imports_[i].first;
    Put32(&bytes, 20 * i + 12, section_rva + static_cast<uint32_t>(bytes.size()));
    // Without functions the thunk table is the first descriptor's zero
    // OriginalFirstThunk: an empty one.
    Put32(&bytes, 20 * i + 16, section_rva);
    bytes.insert(bytes.end(), dll.begin(), dll.end());
    bytes.push_back(0);
  }
  const size_t width = pe32_plus_ ? 8 : 4;
  for (size_t i = 0; i < imports_.size(); ++i) {
    const std::vector<std::string>& functions = imports_[i].second;
    if (functions.empty()) continue;
    PadTo4(&bytes);
    const size_t table = bytes.size();
    const uint32_t table_rva = section_rva + static_cast<uint32_t>(table);
    Put32(&bytes, 20 * i, table_rva);
    Put32(&bytes, 20 * i + 16, table_rva);
    bytes.resize(table + width * (functions.size() + 1));
    for (size_t f = 0; f < functions.size(); ++f) {
      const std::string& function = functions[f];
      const size_t entry = table + width * f;
      if (function[0] == '#') {
        Put16(&bytes, entry, static_cast<uint16_t>(std::stoul(function.substr(1))));
        bytes[entry + width - 1] = 0x80;  // the ordinal flag, the entry's top bit
        continue;
      }
      PadTo4(&bytes);
      Put32(&bytes, entry, section_rva + static_cast<uint32_t>(bytes.size()));
      Append16(&bytes, static_cast<uint16_t>(f));  // the hint
      bytes.insert(bytes.end(), function.begin(), function.end());
      bytes.push_back(0);
    }
  }
  return bytes;
}

std::vector<uint8_t> PeBuilder::BuildResources(uint32_t section_rva) const {
  return ResourceWriter(section_rva).Write(resources_);
}

std::vector<uint8_t> PeBuilder::Build(BuiltLayout* layout) const {
  const size_t optional_size = pe32_plus_ ? 0xF0 : 0xE0;
  const size_t section_table = kPeOffset + 24 + optional_size;
  const size_t headers_end = AlignUp(section_table + 2 * 40, kFileAlignment);
  size_t import_table_size = 0;
  const std::vector<uint8_t> imports = BuildImports(kImportRva, &import_table_size);
  const std::vector<uint8_t> resources = BuildResources(kResourceRva);
  const size_t import_raw = headers_end;
  const size_t resource_raw = import_raw + AlignUp(imports.size(), kFileAlignment);
  std::vector<uint8_t> image(resource_raw + AlignUp(resources.size(), kFileAlignment));

  image[0] = 'M';
  image[1] = 'Z';
  Put32(&image, 0x3C, kPeOffset);
  Put32(&image, kPeOffset, 0x00004550);
  const size_t coff = kPeOffset + 4;
  Put16(&image, coff, machine_);
  Put16(&image, coff + 2, 2);
  Put32(&image, coff + 4, time_stamp_);
  Put16(&image, coff + 16, static_cast<uint16_t>(optional_size));
  Put16(&image, coff + 18, 0x0102);  // executable, 32-bit words
  const size_t optional = coff + 20;
  Put16(&image, optional, pe32_plus_ ? 0x20B : 0x10B);
  if (pe32_plus_) {
    Put32(&image, optional + 24, 0x40000000u);
    Put32(&image, optional + 28, 0x1);  // image base 0x140000000
  } else {
    Put32(&image, optional + 28, 0x400000);
  }
  Put32(&image, optional + 32, kSectionAlignment);
  Put32(&image, optional + 36, kFileAlignment);
  Put16(&image, optional + 40, os_version_.major);
  Put16(&image, optional + 42, os_version_.minor);
  Put16(&image, optional + 48, subsystem_version_.major);
  Put16(&image, optional + 50, subsystem_version_.minor);
  Put16(&image, optional + 68, subsystem_);
  const size_t directories = optional + (pe32_plus_ ? 112 : 96);
  Put32(&image, directories - 4, 16);
  Put32(&image, directories + 8, kImportRva);
  Put32(&image, directories + 12, static_cast<uint32_t>(import_table_size));
  Put32(&image, directories + 16, kResourceRva);
  Put32(&image, directories + 20, static_cast<uint32_t>(resources.size()));

  WriteSectionHeader(&image, section_table, ".idata", kImportRva,
                     static_cast<uint32_t>(imports.size()), static_cast<uint32_t>(import_raw));
  WriteSectionHeader(&image, section_table + 40, ".rsrc", kResourceRva,
                     static_cast<uint32_t>(resources.size()), static_cast<uint32_t>(resource_raw));
  std::copy(imports.begin(), imports.end(), image.begin() + import_raw);
  std::copy(resources.begin(), resources.end(), image.begin() + resource_raw);
  if (layout != nullptr) {
    layout->pe_header = kPeOffset;
    layout->section_table = section_table;
    layout->import_table = import_raw;
    layout->resource_root = resource_raw;
    layout->end_of_headers = headers_end;
  }
  return image;
}

std::vector<uint8_t> VersionBlock(const std::u16string& key, bool text,
                                  const std::vector<uint8_t>& value,
                                  const std::vector<std::vector<uint8_t>>& children) {
  std::vector<uint8_t> block(6);
  for (char16_t c : key) Append16(&block, c);
  Append16(&block, 0);
  PadTo4(&block);
  block.insert(block.end(), value.begin(), value.end());
  for (const std::vector<uint8_t>& child : children) {
    PadTo4(&block);
    block.insert(block.end(), child.begin(), child.end());
  }
  Put16(&block, 0, static_cast<uint16_t>(block.size()));
  Put16(&block, 2, static_cast<uint16_t>(text ? value.size() / 2 : value.size()));
  Put16(&block, 4, text ? 1 : 0);
  return block;
}

std::vector<uint8_t> VersionResource(
    const uint16_t file_version[4], const std::u16string& table_key,
    const std::vector<std::pair<std::u16string, std::u16string>>& strings, uint16_t language,
    uint16_t code_page) {
  std::vector<uint8_t> fixed(52);
  Put32(&fixed, 0, 0xFEEF04BD);
  Put32(&fixed, 4, 0x00010000);
  for (size_t at : {8, 16}) {  // file version, then product version
    Put32(&fixed, at, (uint32_t{file_version[0]} << 16) | file_version[1]);
    Put32(&fixed, at + 4, (uint32_t{file_version[2]} << 16) | file_version[3]);
  }
  std::vector<std::vector<uint8_t>> entries;
  for (const auto& [name, value] : strings) {
    std::vector<uint8_t> text;
    for (char16_t c : value) Append16(&text, c);
    Append16(&text, 0);
    entries.push_back(VersionBlock(name, true, text, {}));
  }
  std::vector<uint8_t> translation;
  Append16(&translation, language);
  Append16(&translation, code_page);
  const auto table = VersionBlock(table_key, true, {}, entries);
  const auto string_info = VersionBlock(u"StringFileInfo", true, {}, {table});
  const auto var = VersionBlock(u"Translation", false, translation, {});
  const auto var_info = VersionBlock(u"VarFileInfo", true, {}, {var});
  return VersionBlock(u"VS_VERSION_INFO", false, fixed, {string_info, var_info});
}

std::vector<uint8_t> IconGroupResource(uint8_t width, uint8_t height, uint8_t colours,
                                       uint16_t bit_count, uint16_t icon_id) {
  std::vector<uint8_t> group;
  Append16(&group, 0);
  Append16(&group, 1);
  Append16(&group, 1);
  group.push_back(width);
  group.push_back(height);
  group.push_back(colours);
  group.push_back(0);
  Append16(&group, 1);
  Append16(&group, bit_count);
  Append32(&group, 744);
  Append16(&group, icon_id);
  return group;
}

std::vector<uint8_t> IconImageResource(int32_t width, int32_t height, uint16_t bit_count) {
  std::vector<uint8_t> image;
  Append32(&image, 40);
  Append32(&image, static_cast<uint32_t>(width));
  Append32(&image, static_cast<uint32_t>(2 * height));
  Append16(&image, 1);
  Append16(&image, bit_count);
  const size_t palette = bit_count <= 8 ? (size_t{1} << bit_count) : 0;
  image.resize(40 + 4 * palette);
  return image;
}

}  // namespace zv::pe::testing
