#include "tools/peinfo/pe_image.h"

#include <cstdio>

namespace zv::pe {
namespace {

constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kOptionalMagicPe32 = 0x10B;
constexpr uint16_t kOptionalMagicPe32Plus = 0x20B;
constexpr size_t kCoffHeaderSize = 20;
constexpr size_t kSectionHeaderSize = 40;
constexpr uint32_t kMaxDirectories = 16;

struct OptionalHeaderLayout {
  size_t image_base_offset;
  size_t directory_count_offset;
  size_t directories_offset;
};

constexpr OptionalHeaderLayout kPe32Layout = {28, 92, 96};
constexpr OptionalHeaderLayout kPe32PlusLayout = {24, 108, 112};
// The same in both layouts.
constexpr size_t kOsVersionOffset = 40;
constexpr size_t kSubsystemVersionOffset = 48;
constexpr size_t kSubsystemOffset = 68;

bool Fail(std::string* error, const std::string& reason) {
  *error = reason;
  return false;
}

bool ParseOptionalHeader(const ByteView& optional, PeImage* image, std::string* error) {
  uint16_t magic = 0;
  if (!optional.ReadU16(0, &magic)) return Fail(error, "the optional header is missing");
  if (magic != kOptionalMagicPe32 && magic != kOptionalMagicPe32Plus) {
    return Fail(error, "the optional header has an unknown magic number");
  }
  image->pe32_plus = magic == kOptionalMagicPe32Plus;
  const OptionalHeaderLayout& layout = image->pe32_plus ? kPe32PlusLayout : kPe32Layout;
  bool read = optional.ReadU16(kSubsystemOffset, &image->subsystem) &&
              optional.ReadU16(kOsVersionOffset, &image->os_version.major) &&
              optional.ReadU16(kOsVersionOffset + 2, &image->os_version.minor) &&
              optional.ReadU16(kSubsystemVersionOffset, &image->subsystem_version.major) &&
              optional.ReadU16(kSubsystemVersionOffset + 2, &image->subsystem_version.minor);
  if (image->pe32_plus) {
    read = read && optional.ReadU64(layout.image_base_offset, &image->image_base);
  } else {
    uint32_t base = 0;
    read = read && optional.ReadU32(layout.image_base_offset, &base);
    image->image_base = base;
  }
  uint32_t count = 0;
  read = read && optional.ReadU32(layout.directory_count_offset, &count);
  if (!read) return Fail(error, "the optional header is truncated");
  if (count > kMaxDirectories) count = kMaxDirectories;
  image->directories.clear();
  for (uint32_t i = 0; i < count; ++i) {
    DataDirectory directory;
    const size_t at = layout.directories_offset + 8 * i;
    if (!optional.ReadU32(at, &directory.rva) || !optional.ReadU32(at + 4, &directory.size)) {
      return Fail(error, "the data directories run past the optional header");
    }
    image->directories.push_back(directory);
  }
  return true;
}

bool ParseSection(const ByteView& file, const ByteView& header, Section* section,
                  std::string* error) {
  std::string name;
  for (size_t i = 0; i < 8; ++i) {
    uint8_t c = 0;
    header.ReadU8(i, &c);
    if (c == 0) break;
    name.push_back(static_cast<char>(c));
  }
  section->name = name;
  header.ReadU32(8, &section->virtual_size);
  header.ReadU32(12, &section->virtual_address);
  header.ReadU32(16, &section->raw_size);
  header.ReadU32(20, &section->raw_offset);
  if (section->raw_size != 0 && !file.Contains(section->raw_offset, section->raw_size)) {
    return Fail(error, "the raw data of section '" + name + "' lies outside the file");
  }
  return true;
}

bool ParseSectionTable(const ByteView& file, uint64_t offset, uint16_t count, PeImage* image,
                       std::string* error) {
  ByteView table;
  if (!file.Sub(offset, static_cast<uint64_t>(count) * kSectionHeaderSize, &table)) {
    return Fail(error, "the section table runs past the end of the file");
  }
  image->sections.clear();
  for (uint16_t i = 0; i < count; ++i) {
    ByteView header;
    table.Sub(static_cast<uint64_t>(i) * kSectionHeaderSize, kSectionHeaderSize, &header);
    Section section;
    if (!ParseSection(file, header, &section, error)) return false;
    image->sections.push_back(section);
  }
  return true;
}

}  // namespace

DataDirectory PeImage::Directory(size_t index) const {
  return index < directories.size() ? directories[index] : DataDirectory{};
}

bool PeImage::BytesFrom(uint32_t rva, ByteView* out) const {
  for (const Section& section : sections) {
    // The loader maps the raw data, but no more of it than the virtual size.
    uint64_t mapped = section.raw_size;
    if (section.virtual_size != 0 && section.virtual_size < mapped) mapped = section.virtual_size;
    if (rva < section.virtual_address) continue;
    const uint64_t into = static_cast<uint64_t>(rva) - section.virtual_address;
    if (into >= mapped) continue;
    return file.Sub(section.raw_offset + into, mapped - into, out);
  }
  return false;
}

bool PeImage::BytesAt(uint32_t rva, uint32_t size, ByteView* out) const {
  ByteView rest;
  return BytesFrom(rva, &rest) && rest.Sub(0, size, out);
}

bool ParsePeImage(const ByteView& file, PeImage* image, std::string* error) {
  uint16_t mz = 0;
  uint32_t pe_offset = 0;
  if (!file.ReadU16(0, &mz) || mz != 0x5A4D) return Fail(error, "no MZ header");
  if (!file.ReadU32(0x3C, &pe_offset)) return Fail(error, "the MZ header is truncated");
  uint32_t signature = 0;
  if (!file.ReadU32(pe_offset, &signature) || signature != kPeSignature) {
    return Fail(error, "no PE signature where the MZ header points");
  }
  ByteView coff;
  if (!file.Sub(static_cast<uint64_t>(pe_offset) + 4, kCoffHeaderSize, &coff)) {
    return Fail(error, "the COFF header is truncated");
  }
  uint16_t section_count = 0;
  uint16_t optional_size = 0;
  coff.ReadU16(0, &image->machine);
  coff.ReadU16(2, &section_count);
  coff.ReadU32(4, &image->time_stamp);
  coff.ReadU16(16, &optional_size);
  const uint64_t optional_offset = static_cast<uint64_t>(pe_offset) + 4 + kCoffHeaderSize;
  ByteView optional;
  if (!file.Sub(optional_offset, optional_size, &optional)) {
    return Fail(error, "the optional header runs past the end of the file");
  }
  if (!ParseOptionalHeader(optional, image, error)) return false;
  if (!ParseSectionTable(file, optional_offset + optional_size, section_count, image, error)) {
    return false;
  }
  image->file = file;
  return true;
}

std::string MachineName(uint16_t machine) {
  if (machine == kMachineI386) return "i386";
  if (machine == kMachineAmd64) return "x86-64";
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", machine);
  return text;
}

std::string SubsystemName(uint16_t subsystem) {
  if (subsystem == kSubsystemWindowsGui) return "GUI";
  if (subsystem == kSubsystemWindowsConsole) return "console";
  return std::to_string(subsystem);
}

}  // namespace zv::pe
