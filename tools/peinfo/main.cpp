// peinfo FILE: prints the machine, subsystem, header versions, time stamp,
// imported DLLs and functions, resources, manifest, icon groups and version
// of a PE image. Exits with 0 when the image was read in full, 1 when any
// part of it could not be read, 2 on a usage error.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/peinfo/file_bytes.h"
#include "tools/peinfo/image_summary.h"
#include "tools/peinfo/report.h"

namespace {

// Larger than any installer this project builds.
constexpr uint64_t kMaxImageSize = 1ull << 30;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: peinfo FILE\n");
    return 2;
  }
  std::vector<uint8_t> bytes;
  std::string error;
  if (!zv::pe::ReadFileBytes(argv[1], kMaxImageSize, &bytes, &error)) {
    std::fprintf(stderr, "peinfo: %s\n", error.c_str());
    return 1;
  }
  zv::pe::Inspection inspection;
  if (!zv::pe::InspectImage(zv::pe::ByteView(bytes.data(), bytes.size()), &inspection, &error)) {
    std::fprintf(stderr, "peinfo: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  const std::string report = zv::pe::FormatReport(inspection);
  std::fwrite(report.data(), 1, report.size(), stdout);
  return inspection.problems.empty() ? 0 : 1;
}
