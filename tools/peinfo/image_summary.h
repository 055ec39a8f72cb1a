// Everything peinfo reports about one PE image, gathered in one pass.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/peinfo/icon_group.h"
#include "tools/peinfo/imports.h"
#include "tools/peinfo/pe_image.h"
#include "tools/peinfo/resources.h"
#include "tools/peinfo/version_info.h"

namespace zv::pe {

struct Inspection {
  PeImage image;
  std::vector<std::string> imported_dlls;
  std::vector<std::string> delay_imported_dlls;
  std::vector<ImportedFunction> imported_functions;
  std::vector<Resource> resources;
  std::optional<std::string> manifest;  // the first RT_MANIFEST, as its bytes
  std::vector<IconGroup> icon_groups;
  std::optional<VersionInfo> version;
  // What could not be read. Each part fails on its own: a damaged import
  // table still lets the resources be reported, and so on.
  std::vector<std::string> problems;
};

// Inspects the image in `file`, which must outlive `out`. Fails, with the
// reason in `error`, only when the PE headers themselves cannot be read;
// every later failure is listed in `out->problems`.
bool InspectImage(const ByteView& file, Inspection* out, std::string* error);

}  // namespace zv::pe
