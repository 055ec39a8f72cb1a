// The DLLs a PE image imports from, directly and through delay loading.
#pragma once

#include <string>
#include <vector>

#include "tools/peinfo/pe_image.h"

namespace zv::pe {

// One function of an import descriptor's lookup table.
struct ImportedFunction {
  std::string dll;
  std::string name;  // empty when imported by ordinal
  bool by_ordinal = false;
  uint16_t ordinal = 0;
};

// Appends to `dlls` the DLL name of every import descriptor, in table order.
// An image without an import directory has none. Fails when the table or a
// name lies outside the image's sections or the table has no terminator
// within the section.
bool ReadImportedDlls(const PeImage& image, std::vector<std::string>* dlls, std::string* error);

// Appends to `functions` every function that the import descriptors name,
// DLL by DLL in table order. A descriptor's lookup table is its
// OriginalFirstThunk, or its FirstThunk when that is zero; entries are 32
// bits wide in a PE32 image and 64 in a PE32+ one. Fails when a lookup table
// or a function name lies outside the image's sections or has no end.
bool ReadImportedFunctions(const PeImage& image, std::vector<ImportedFunction>* functions,
                           std::string* error);

// The same as ReadImportedDlls for the delay-load import table.
bool ReadDelayImportedDlls(const PeImage& image, std::vector<std::string>* dlls,
                           std::string* error);

}  // namespace zv::pe
