// The headers of a PE image (an .exe or .dll) and the mapping of its
// relative virtual addresses onto the file's bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/peinfo/byte_view.h"

namespace zv::pe {

constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kSubsystemWindowsGui = 2;
constexpr uint16_t kSubsystemWindowsConsole = 3;

// Indices into the optional header's data directories.
constexpr size_t kImportDirectory = 1;
constexpr size_t kResourceDirectory = 2;
constexpr size_t kDelayImportDirectory = 13;

struct Section {
  std::string name;
  uint32_t virtual_address = 0;
  uint32_t virtual_size = 0;
  uint32_t raw_offset = 0;
  uint32_t raw_size = 0;
};

// A major.minor pair of the optional header, such as the subsystem version.
struct HeaderVersion {
  uint16_t major = 0;
  uint16_t minor = 0;
};

struct DataDirectory {
  uint32_t rva = 0;
  uint32_t size = 0;
};

// A parsed image. `file` borrows the caller's bytes, which must outlive it.
struct PeImage {
  ByteView file;
  uint16_t machine = 0;
  uint16_t subsystem = 0;
  uint32_t time_stamp = 0;  // the COFF header's TimeDateStamp
  HeaderVersion os_version;
  HeaderVersion subsystem_version;
  bool pe32_plus = false;
  uint64_t image_base = 0;
  std::vector<Section> sections;
  std::vector<DataDirectory> directories;  // at most 16, as the header declares

  // The directory at `index`, or an empty one when the header has none.
  DataDirectory Directory(size_t index) const;

  // Sets `out` to the file bytes of the RVA range [rva, rva + size), which
  // must lie inside one section's raw data.
  bool BytesAt(uint32_t rva, uint32_t size, ByteView* out) const;

  // Sets `out` to the file bytes from `rva` to the end of its section's raw
  // data.
  bool BytesFrom(uint32_t rva, ByteView* out) const;
};

// Parses the DOS header, the PE headers and the section table of `file`.
// Fails, with a reason in `error`, when any of them is missing, truncated
// or inconsistent, or when a section's raw data lies outside the file.
bool ParsePeImage(const ByteView& file, PeImage* image, std::string* error);

// "i386", "x86-64" or the machine number in hexadecimal.
std::string MachineName(uint16_t machine);

// "GUI", "console" or the subsystem number.
std::string SubsystemName(uint16_t subsystem);

}  // namespace zv::pe
