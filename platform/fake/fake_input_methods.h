// The input method manager and keyboard layouts of the fake machine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_files.h"
#include "platform/fake/machine_state.h"
#include "platform/input_methods.h"

namespace zv::fake {

struct ImeInstallRecord {
  std::u16string imeFile;
  std::u16string layoutText;
  platform::LayoutHandle result = 0;
  // The bytes of the file the path led to when the IME was handed over (after
  // WOW64 redirection); none when no file lay there.
  std::optional<std::string> fileBytes;
};

struct ActivationRecord {
  platform::LayoutHandle layout = 0;
  uint32_t flags = 0;
};

class FakeInputMethods : public platform::InputMethods {
 public:
  // The process starts with the Chinese (PRC) US keyboard 0x08040804 loaded
  // and active.
  FakeInputMethods(MachineState& state, FakeFileSystem& files);

  // Accepts an IME file that exists and returns the next layout handle,
  // 0xE0200804, 0xE0210804, ...; the layout is loaded with the layout text
  // as its description. The file is looked up as the process's file calls
  // are: a 32-bit process under WOW64 reaches SysWOW64 through system32
  // unless it switched redirection off (as GetSystemDirectoryW names
  // system32 for it too).
  platform::LayoutHandle ImmInstallIMEW(const std::u16string& imeFile,
                                        const std::u16string& layoutText) override;
  std::string ImmGetDescriptionA(platform::LayoutHandle layout) override;
  std::vector<platform::LayoutHandle> GetKeyboardLayoutList() override;
  platform::LayoutHandle GetKeyboardLayout() override;
  // Only loaded layouts can be activated.
  platform::LayoutHandle ActivateKeyboardLayout(platform::LayoutHandle layout,
                                                uint32_t flags) override;

  // Loads `layout` (at the end of the list) with an 8-bit description in the
  // ANSI code page; an existing layout only gets the new description.
  void AddLayout(platform::LayoutHandle layout, const std::string& description = "");
  void SetLayoutDescription(platform::LayoutHandle layout, const std::u16string& description);
  // Makes `layout` the active one without recording an activation.
  void SetActiveLayout(platform::LayoutHandle layout) { active_ = layout; }
  void ClearLayouts();
  // Every ImmInstallIMEW call, accepted or not.
  const std::vector<ImeInstallRecord>& ImeInstalls() const { return installs_; }
  // Every successful ActivateKeyboardLayout.
  const std::vector<ActivationRecord>& Activations() const { return activations_; }

 private:
  struct Layout {
    platform::LayoutHandle handle = 0;
    std::string description;
  };
  Layout* FindLayout(platform::LayoutHandle layout);
  // Fills in the record's file bytes; returns the handle or 0.
  platform::LayoutHandle Install(ImeInstallRecord* record);

  MachineState& state_;
  FakeFileSystem& files_;
  std::vector<Layout> layouts_;
  platform::LayoutHandle active_ = 0;
  uint32_t nextDevice_ = 0xE020;
  std::vector<ImeInstallRecord> installs_;
  std::vector<ActivationRecord> activations_;
};

}  // namespace zv::fake
