#include "settings/ime_settings_files.h"

#include "package/file_io.h"
#include "settings/settings_file_names.h"
#include "state/run_state.h"
#include "system/install_locations.h"

namespace zv {
namespace {

constexpr char kLineEnd[] = "\r\n";
// The download settings after the web address, in file order.
constexpr const char* kFixedNetworkLines[] = {
    "ZVNETTIME=1",  "ZVBJTIME=7",  "ZVWYTIME=3", "ZVSJOFF=0",
    "ZVNETTIME0=0", "ZVBJTIME0=0", "ZVNEONE=1",
};

// "ZVWBPYBZ=1" or "ZVWBPYBZ=0" with its terminating zero: 11 bytes.
std::string_view EditionFileBytes() {
  static constexpr char kPinyin[] = "ZVWBPYBZ=1";
  static constexpr char kShapeCode[] = "ZVWBPYBZ=0";
  return std::string_view(EditionFlag == 1 ? kPinyin : kShapeCode, sizeof(kPinyin));
}

std::string_view SingleLine(std::string_view text) {
  return text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3)));
}

}  // namespace

std::string MakeNetworkSettingsText(std::string_view webAddress) {
  std::string text = "ZVNETURL1=";
  text += kLineEnd;
  text += "ZVNETURL2=";
  text += SingleLine(webAddress);
  for (const char* line : kFixedNetworkLines) {
    text += kLineEnd;
    text += line;
  }
  text += kLineEnd;
  return text;
}

void WriteImeSettingsFiles(std::string_view webAddress) {
  const std::string dir = ChooseInstallDir().str();
  WriteFileBytes(dir + kEditionFileName, EditionFileBytes());
  WriteFileBytes(dir + kNetworkSettingsFileName, MakeNetworkSettingsText(webAddress));
}

}  // namespace zv
