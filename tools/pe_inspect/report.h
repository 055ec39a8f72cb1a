// The text report that the pe_inspect tool prints.
#pragma once

#include <string>

#include "tools/pe_inspect/inspection.h"

namespace zv::pe {

// A human-readable report of `inspection`, UTF-8, one fact a line.
std::string FormatReport(const Inspection& inspection);

}  // namespace zv::pe
