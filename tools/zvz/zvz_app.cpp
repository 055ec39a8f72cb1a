#include <cstdio>

#include "tools/zvz/commands.h"
#include "tools/zvz/console.h"

namespace zv::zvz {
namespace {

constexpr char kUsage[] =
    "usage: zvz [--codepage 936|950] COMMAND ARGS...\n"
    "\n"
    "Commands:\n"
    "  create [--plain] OUT FILE|DIR...  pack the files (a directory: the files directly in it)\n"
    "                                    into the container OUT, digest layout unless --plain\n"
    "  list ARCHIVE                      show the layout and each record's compressed and\n"
    "                                    unpacked size, stored digest, state and name; the\n"
    "                                    states that the installer cannot unpack are DAMAGED\n"
    "                                    (stream), EMPTY, TOO LARGE (over 1073741824 bytes) and\n"
    "                                    DIGEST MISMATCH\n"
    "  verify ARCHIVE DIR                check the files in DIR against ARCHIVE as the\n"
    "                                    installer does; print the names that fail\n"
    "  extract ARCHIVE DIR               unpack ARCHIVE into DIR as the installer does\n"
    "  check [--json] PACKAGE            whether PACKAGE will install as the product expects:\n"
    "                                    one line per problem (error: or warning:, naming\n"
    "                                    the entry), the version stamp places, a verdict;\n"
    "                                    exit 1 on any error; --json prints one JSON object\n"
    "\n"
    "Names are kept as the bytes they are (GBK or Big5); --codepage only says how to\n"
    "show them (host build; default 936). Record names hold at most 15 bytes in the\n"
    "digest layout and 13 in the plain layout.\n"
    "Exit status: 0 success, 1 failure or bad input, 2 wrong usage.\n";

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

// Reads "--codepage N" from the front of `args`; false on a bad value.
bool TakeCodePage(Arguments* args, unsigned* codePage) {
  if (args->empty() || (*args)[0] != "--codepage") return true;
  if (args->size() < 2 || ((*args)[1] != "936" && (*args)[1] != "950")) return false;
  *codePage = static_cast<unsigned>(std::stoul((*args)[1]));
  args->erase(args->begin(), args->begin() + 2);
  return true;
}

}  // namespace

void PrintUsage() { std::fputs(kUsage, stdout); }

int RunZvz(const Arguments& arguments) {
  for (const std::string& arg : arguments) {
    if (IsHelp(arg)) {
      PrintUsage();
      return kExitOk;
    }
  }
  Arguments args = arguments;
  unsigned codePage = 936;
  if (!TakeCodePage(&args, &codePage)) return UsageError("--codepage takes 936 or 950");
  if (args.empty()) return UsageError("no command given");
  const std::string command = args[0];
  args.erase(args.begin());
  using Command = int (*)(const Arguments&, const Host&);
  Command run = command == "create"    ? &RunCreate
                : command == "list"    ? &RunList
                : command == "verify"  ? &RunVerify
                : command == "extract" ? &RunExtract
                : command == "check"   ? &RunCheck
                                       : nullptr;
  if (run == nullptr) return UsageError("unknown command '" + command + "'");
  const Host host = InstallHost(codePage);
  return run(args, host);
}

}  // namespace zv::zvz
