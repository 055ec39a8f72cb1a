#include "tools/peinfo/image_summary.h"

#include <utility>

#include "tools/peinfo/imports.h"

namespace zv::pe {
namespace {

void ReadManifest(Inspection* out) {
  const Resource* manifest = FindFirstOfType(out->resources, ResourceId::Number(kResourceManifest));
  if (manifest == nullptr) return;
  ByteView bytes;
  std::string error;
  if (!ResourceBytes(out->image, *manifest, &bytes, &error)) {
    out->problems.push_back(error);
    return;
  }
  out->manifest = std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void ReadIconGroups(Inspection* out) {
  for (const Resource& resource : out->resources) {
    if (!resource.type.Matches(ResourceId::Number(kResourceGroupIcon))) continue;
    IconGroup group;
    std::string error;
    if (ParseIconGroup(out->image, out->resources, resource, &group, &error)) {
      out->icon_groups.push_back(std::move(group));
    } else {
      out->problems.push_back(error);
    }
  }
}

void ReadVersion(Inspection* out) {
  const Resource* version = FindFirstOfType(out->resources, ResourceId::Number(kResourceVersion));
  if (version == nullptr) return;
  ByteView bytes;
  VersionInfo info;
  std::string error;
  if (ResourceBytes(out->image, *version, &bytes, &error) &&
      ParseVersionInfo(bytes, &info, &error)) {
    out->version = std::move(info);
  } else {
    out->problems.push_back("version resource: " + error);
  }
}

}  // namespace

bool InspectImage(const ByteView& file, Inspection* out, std::string* error) {
  *out = Inspection{};
  if (!ParsePeImage(file, &out->image, error)) return false;
  std::string problem;
  if (!ReadImportedDlls(out->image, &out->imported_dlls, &problem)) {
    out->problems.push_back(problem);
  }
  if (!ReadImportedFunctions(out->image, &out->imported_functions, &problem)) {
    out->problems.push_back(problem);
  }
  if (!ReadDelayImportedDlls(out->image, &out->delay_imported_dlls, &problem)) {
    out->problems.push_back(problem);
  }
  if (!ReadResources(out->image, &out->resources, &problem)) {
    out->problems.push_back(problem);
  }
  ReadManifest(out);
  ReadIconGroups(out);
  ReadVersion(out);
  return true;
}

}  // namespace zv::pe
