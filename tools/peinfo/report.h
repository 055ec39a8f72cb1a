// The text report that the peinfo tool prints.
#pragma once

#include <string>

#include "tools/peinfo/image_summary.h"

namespace zv::pe {

// A human-readable report of `inspection`, UTF-8, one fact a line.
std::string FormatReport(const Inspection& inspection);

}  // namespace zv::pe
