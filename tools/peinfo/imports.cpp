#include "tools/peinfo/imports.h"

#include "tools/peinfo/text.h"

namespace zv::pe {
namespace {

constexpr size_t kImportDescriptorSize = 20;
constexpr size_t kImportLookupOffset = 0;
constexpr size_t kImportNameOffset = 12;
constexpr size_t kImportAddressOffset = 16;
constexpr size_t kDelayDescriptorSize = 32;
constexpr size_t kDelayNameOffset = 4;
constexpr uint32_t kDelayRvaBased = 1;
constexpr size_t kMaxDllName = 260;
constexpr size_t kMaxFunctionName = 4096;

bool Fail(std::string* error, const std::string& reason) {
  *error = reason;
  return false;
}

bool ReadDllName(const PeImage& image, uint32_t rva, std::string* name, std::string* error) {
  ByteView bytes;
  if (!image.BytesFrom(rva, &bytes) || !ReadCString(bytes, 0, kMaxDllName, name)) {
    return Fail(error, "an imported DLL name lies outside the image or has no end");
  }
  return true;
}

// Walks a table of fixed-size descriptors that ends with an all-zero one,
// calling `visit(descriptor)` for each other one.
template <typename Visit>
bool WalkDescriptors(const PeImage& image, uint32_t table_rva, size_t descriptor_size,
                     const char* what, Visit visit, std::string* error) {
  ByteView table;
  if (!image.BytesFrom(table_rva, &table)) {
    return Fail(error, std::string("the ") + what + " table lies outside the image");
  }
  for (uint64_t at = 0;; at += descriptor_size) {
    ByteView descriptor;
    if (!table.Sub(at, descriptor_size, &descriptor)) {
      return Fail(error, std::string("the ") + what + " table has no terminating entry");
    }
    bool all_zero = true;
    for (size_t i = 0; i < descriptor_size; ++i) all_zero = all_zero && descriptor.data()[i] == 0;
    if (all_zero) return true;
    if (!visit(descriptor)) return false;
  }
}

// Reads the hint/name entry at `rva`: a 16-bit hint, then the name.
bool ReadFunctionName(const PeImage& image, uint32_t rva, std::string* name, std::string* error) {
  ByteView bytes;
  if (!image.BytesFrom(rva, &bytes) || !ReadCString(bytes, 2, kMaxFunctionName, name)) {
    return Fail(error, "an imported function name lies outside the image or has no end");
  }
  return true;
}

// Reads the lookup table at `rva`, up to its zero entry, into `functions`.
bool ReadLookupTable(const PeImage& image, uint32_t rva, const std::string& dll,
                     std::vector<ImportedFunction>* functions, std::string* error) {
  ByteView table;
  if (!image.BytesFrom(rva, &table)) {
    return Fail(error, "the import lookup table of " + dll + " lies outside the image");
  }
  const size_t width = image.pe32_plus ? 8 : 4;
  const uint64_t ordinal_flag = uint64_t{1} << (8 * width - 1);
  for (uint64_t at = 0;; at += width) {
    uint64_t entry = 0;
    uint32_t narrow = 0;
    const bool read = image.pe32_plus ? table.ReadU64(at, &entry) : table.ReadU32(at, &narrow);
    if (!read) return Fail(error, "the import lookup table of " + dll + " has no end");
    if (!image.pe32_plus) entry = narrow;
    if (entry == 0) return true;
    ImportedFunction function;
    function.dll = dll;
    if ((entry & ordinal_flag) != 0) {
      function.by_ordinal = true;
      function.ordinal = static_cast<uint16_t>(entry);
    } else if (!ReadFunctionName(image, static_cast<uint32_t>(entry & 0x7FFFFFFF), &function.name,
                                 error)) {
      return false;
    }
    functions->push_back(function);
  }
}

}  // namespace

bool ReadImportedFunctions(const PeImage& image, std::vector<ImportedFunction>* functions,
                           std::string* error) {
  const DataDirectory directory = image.Directory(kImportDirectory);
  if (directory.rva == 0) return true;
  return WalkDescriptors(
      image, directory.rva, kImportDescriptorSize, "import",
      [&](const ByteView& descriptor) {
        uint32_t lookup_rva = 0;
        uint32_t name_rva = 0;
        descriptor.ReadU32(kImportLookupOffset, &lookup_rva);
        descriptor.ReadU32(kImportNameOffset, &name_rva);
        if (lookup_rva == 0) descriptor.ReadU32(kImportAddressOffset, &lookup_rva);
        std::string dll;
        return ReadDllName(image, name_rva, &dll, error) &&
               ReadLookupTable(image, lookup_rva, dll, functions, error);
      },
      error);
}

bool ReadImportedDlls(const PeImage& image, std::vector<std::string>* dlls, std::string* error) {
  const DataDirectory directory = image.Directory(kImportDirectory);
  if (directory.rva == 0) return true;
  return WalkDescriptors(
      image, directory.rva, kImportDescriptorSize, "import",
      [&](const ByteView& descriptor) {
        uint32_t name_rva = 0;
        descriptor.ReadU32(kImportNameOffset, &name_rva);
        std::string name;
        if (!ReadDllName(image, name_rva, &name, error)) return false;
        dlls->push_back(name);
        return true;
      },
      error);
}

bool ReadDelayImportedDlls(const PeImage& image, std::vector<std::string>* dlls,
                           std::string* error) {
  const DataDirectory directory = image.Directory(kDelayImportDirectory);
  if (directory.rva == 0) return true;
  return WalkDescriptors(
      image, directory.rva, kDelayDescriptorSize, "delay import",
      [&](const ByteView& descriptor) {
        uint32_t attributes = 0;
        uint32_t name_address = 0;
        descriptor.ReadU32(0, &attributes);
        descriptor.ReadU32(kDelayNameOffset, &name_address);
        // Old tables hold virtual addresses instead of RVAs.
        uint64_t name_rva = name_address;
        if ((attributes & kDelayRvaBased) == 0) name_rva -= image.image_base;
        std::string name;
        if (name_rva > UINT32_MAX ||
            !ReadDllName(image, static_cast<uint32_t>(name_rva), &name, error)) {
          return Fail(error, "a delay-loaded DLL name lies outside the image");
        }
        dlls->push_back(name);
        return true;
      },
      error);
}

}  // namespace zv::pe
