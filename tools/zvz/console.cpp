#include "tools/zvz/console.h"

#include <cstdio>

namespace zv::zvz {

int Fail(const std::string& message) {
  std::fprintf(stderr, "zvz: %s\n", message.c_str());
  return kExitFailure;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "zvz: %s (try 'zvz --help')\n", message.c_str());
  return kExitUsage;
}

void PrintLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace zv::zvz
