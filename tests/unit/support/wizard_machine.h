// What the tests that run the whole installer on the fake machine share: the
// generated demo package as the program's resource, the skin dialog's
// templates, and the points of the wizard's two buttons. ZV_DEMO_DIR (set by
// the build of the test program) names the folder the generator wrote.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "platform/fake/fake_machine.h"
#include "platform/gui_types.h"
#include "platform/win_constants.h"

namespace zv::test {

// Client points inside the confirming and the exit button, and between them.
inline constexpr uint32_t kConfirmPoint = platform::MakeLong(90, 257);
inline constexpr uint32_t kExitPoint = platform::MakeLong(310, 257);
inline constexpr uint32_t kBetweenPoint = platform::MakeLong(200, 255);

// The skin dialog's OK button.
inline constexpr int kSkinDialogOk = 105;

// The bytes of the demo package, read once.
inline const std::string& DemoPackageBytes() {
  static const std::string bytes = [] {
    std::ifstream file(std::string(ZV_DEMO_DIR) + "/demo.zvz", std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
  }();
  return bytes;
}

// Gives `machine` what the program carries in its resources: the demo
// package (unless `withPackage` is false) and the skin dialog's templates.
inline void AddProgramResources(fake::FakeMachine& machine, bool withPackage = true) {
  if (withPackage) machine.AddResource("KPMTZVZ", "ZVZ", DemoPackageBytes());
  fake::DialogTemplate skinDialog;
  skinDialog.rect = platform::Rect{0, 0, 329, 228};
  skinDialog.controls.push_back({kSkinDialogOk, u"Button", win::kBsDefPushButton, u"确定", {}});
  for (int id : {101, 102, 106, 107, 110, 111, 112}) {
    skinDialog.controls.push_back({id, u"Button", win::kBsAutoRadioButton, u"", {}});
  }
  machine.AddDialogTemplate(u"PYKEY", skinDialog);
  machine.AddDialogTemplate(u"PYKEYB", skinDialog);
}

}  // namespace zv::test
