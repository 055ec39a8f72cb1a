#include <cstdio>

#include "platform/text_codec.h"
#include "platform/win32/win32_directory_listing.h"
#include "platform/win32/win32_services.h"
#include "platform/win_constants.h"
#include "tools/zvz/host.h"

namespace zv::zvz {
namespace {

std::string ConsoleText(std::string_view ansi) { return std::string(ansi); }

std::string ConsoleWide(std::u16string_view text) {
  return platform::Codec().WideCharToMultiByte(text);
}

// A console tool prints its message boxes instead of showing them.
class ConsoleMessageBoxes : public platform::MessageBoxes {
 public:
  int MessageBoxA(const std::string& text, const std::string& caption, uint32_t type) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return (type & 0xF) == win::kMbYesNo ? win::kIdNo : win::kIdOk;
  }
  int MessageBoxW(const std::u16string& text, const std::u16string& caption,
                  uint32_t type) override {
    return MessageBoxA(ConsoleWide(text), ConsoleWide(caption), type);
  }
};

}  // namespace

Host InstallHost(unsigned /*codePage*/) {
  static platform::win32::Win32DirectoryListing listing;
  static ConsoleMessageBoxes messageBoxes;
  platform::win32::InstallWin32Services();
  platform::Services services = platform::CurrentServices();
  services.messageBoxes = &messageBoxes;
  platform::SetServices(services);
  return Host{&listing, &ConsoleText, &ConsoleWide};
}

}  // namespace zv::zvz
