#include "platform/host/iconv_text.h"
#include "platform/posix/posix_services.h"
#include "tools/zvz/host.h"

namespace zv::zvz {
namespace {

std::string ConsoleWide(std::u16string_view text) { return platform::host::Utf16ToUtf8(text); }

std::string ConsoleText(std::string_view ansi) {
  return ConsoleWide(platform::Codec().MultiByteToWideChar(ansi));
}

}  // namespace

Host InstallHost(unsigned codePage) {
  static platform::posix::PosixDirectoryListing listing;
  platform::posix::InstallPosixServices(codePage);
  return Host{&listing, &ConsoleText, &ConsoleWide};
}

}  // namespace zv::zvz
