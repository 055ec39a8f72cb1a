// libFuzzer target: the PE inspection and its report on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/peinfo/image_summary.h"
#include "tools/peinfo/report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zv::pe::Inspection inspection;
  std::string error;
  if (zv::pe::InspectImage(zv::pe::ByteView(data, size), &inspection, &error)) {
    const std::string report = zv::pe::FormatReport(inspection);
    if (report.empty()) __builtin_trap();
  } else if (error.empty()) {
    __builtin_trap();
  }
  return 0;
}
