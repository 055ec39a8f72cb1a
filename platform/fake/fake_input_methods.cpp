#include "platform/fake/fake_input_methods.h"

#include "platform/fake/code_page.h"
#include "platform/win_constants.h"

namespace zv::fake {
namespace {

using platform::LayoutHandle;

constexpr LayoutHandle kChineseUsKeyboard = 0x08040804;
constexpr LayoutHandle kImeLanguage = 0x0804;
constexpr uint32_t kLastImeDevice = 0xE0FF;

}  // namespace

FakeInputMethods::FakeInputMethods(MachineState& state, FakeFileSystem& files)
    : state_(state), files_(files) {
  AddLayout(kChineseUsKeyboard);
  active_ = kChineseUsKeyboard;
}

LayoutHandle FakeInputMethods::ImmInstallIMEW(const std::u16string& imeFile,
                                              const std::u16string& layoutText) {
  ImeInstallRecord record{imeFile, layoutText, 0, std::nullopt};
  record.result = Install(&record);
  installs_.push_back(std::move(record));
  return installs_.back().result;
}

LayoutHandle FakeInputMethods::Install(ImeInstallRecord* record) {
  uint32_t codePage = state_.settings.ansiCodePage;
  std::string path = Utf16ToAnsi(codePage, record->imeFile);
  state_.NoteModuleLoad("ImmInstallIMEW", path);
  // The file as the process's own calls see it: under WOW64 a system32 path
  // reaches SysWOW64 unless the thread switched redirection off.
  uint32_t error = 0;
  std::shared_ptr<FileNode> file = files_.FindNode(path, true, &error);
  if (file != nullptr && !file->directory) {
    record->fileBytes.emplace(file->data.begin(), file->data.end());
  }
  if (state_.Injected("ImmInstallIMEW", {path})) return 0;
  if (file == nullptr || file->directory) {
    state_.Fail(file == nullptr ? error : win::kErrorAccessDenied);
    return 0;
  }
  if (nextDevice_ > kLastImeDevice) {
    state_.Fail(win::kErrorNotEnoughMemory);
    return 0;
  }
  LayoutHandle layout = (LayoutHandle{nextDevice_++} << 16) | kImeLanguage;
  AddLayout(layout, Utf16ToAnsi(codePage, record->layoutText));
  return layout;
}

std::string FakeInputMethods::ImmGetDescriptionA(LayoutHandle layout) {
  if (state_.Injected("ImmGetDescriptionA", {})) return std::string();
  Layout* found = FindLayout(layout);
  return found == nullptr ? std::string() : found->description;
}

std::vector<LayoutHandle> FakeInputMethods::GetKeyboardLayoutList() {
  std::vector<LayoutHandle> handles;
  for (const Layout& layout : layouts_) handles.push_back(layout.handle);
  return handles;
}

LayoutHandle FakeInputMethods::GetKeyboardLayout() { return active_; }

LayoutHandle FakeInputMethods::ActivateKeyboardLayout(LayoutHandle layout, uint32_t flags) {
  // Activating an IME's layout loads the IME into the process.
  state_.NoteModuleLoad("ActivateKeyboardLayout", "");
  if (state_.Injected("ActivateKeyboardLayout", {})) return 0;
  if (FindLayout(layout) == nullptr) {
    state_.Fail(win::kErrorInvalidParameter);
    return 0;
  }
  LayoutHandle previous = active_;
  active_ = layout;
  activations_.push_back(ActivationRecord{layout, flags});
  return previous;
}

void FakeInputMethods::AddLayout(LayoutHandle layout, const std::string& description) {
  if (Layout* found = FindLayout(layout)) {
    found->description = description;
    return;
  }
  layouts_.push_back(Layout{layout, description});
}

void FakeInputMethods::SetLayoutDescription(LayoutHandle layout,
                                            const std::u16string& description) {
  AddLayout(layout, Utf16ToAnsi(state_.settings.ansiCodePage, description));
}

void FakeInputMethods::ClearLayouts() {
  layouts_.clear();
  active_ = 0;
}

FakeInputMethods::Layout* FakeInputMethods::FindLayout(LayoutHandle layout) {
  for (Layout& candidate : layouts_) {
    if (candidate.handle == layout) return &candidate;
  }
  return nullptr;
}

}  // namespace zv::fake
