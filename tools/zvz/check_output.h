// How zvz check prints its findings: one line each for people, or one JSON
// object for machines.
#pragma once

#include <string>

#include "tools/zvz/host.h"
#include "tools/zvz/package_check.h"

namespace zv::zvz {

// "error: ENTRY: MESSAGE" (or "warning: ...") per finding, then one
// "stamp: ENTRY: N places" line per stamped module and a closing line.
void PrintFindings(const PackageReport& report, const std::string& package, const Host& host);

// The whole report as one JSON object (text decoded from the ANSI code page,
// written with \u escapes beyond ASCII).
std::string FindingsJson(const PackageReport& report, const std::string& package);

}  // namespace zv::zvz
