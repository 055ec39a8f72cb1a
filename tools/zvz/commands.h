// The zvz commands. Each takes its own arguments (after the command word)
// and returns the process exit status.
#pragma once

#include <string>
#include <vector>

#include "tools/zvz/host.h"

namespace zv::zvz {

using Arguments = std::vector<std::string>;

// create [--plain] OUT FILE|DIR...
int RunCreate(const Arguments& args, const Host& host);
// list ARCHIVE
int RunList(const Arguments& args, const Host& host);
// verify ARCHIVE DIR
int RunVerify(const Arguments& args, const Host& host);
// extract ARCHIVE DIR
int RunExtract(const Arguments& args, const Host& host);
// check [--json] PACKAGE
int RunCheck(const Arguments& args, const Host& host);

// Parses the global options and runs the command. `args` excludes the
// program name.
int RunZvz(const Arguments& args);

// Prints the usage text on stdout.
void PrintUsage();

}  // namespace zv::zvz
