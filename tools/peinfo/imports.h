// The DLLs a PE image imports from, directly and through delay loading.
#pragma once

#include <string>
#include <vector>

#include "tools/peinfo/pe_image.h"

namespace zv::pe {

// Appends to `dlls` the DLL name of every import descriptor, in table order.
// An image without an import directory has none. Fails when the table or a
// name lies outside the image's sections or the table has no terminator
// within the section.
bool ReadImportedDlls(const PeImage& image, std::vector<std::string>* dlls, std::string* error);

// The same for the delay-load import table.
bool ReadDelayImportedDlls(const PeImage& image, std::vector<std::string>* dlls,
                           std::string* error);

}  // namespace zv::pe
