#include "platform/fake/fake_mappings.h"

#include "platform/win_constants.h"

namespace zv::fake {

void FakeFileMappings::AddFileMapping(const std::string& name, bool writable) {
  mappings_[name] = writable;
}

platform::MappingHandle FakeFileMappings::OpenFileMappingA(uint32_t access, bool inheritHandle,
                                                           const std::string& name) {
  opens_.push_back(MappingOpen{name, access, inheritHandle, false});
  if (state_.Injected("OpenFileMappingA", {name})) return 0;
  auto found = mappings_.find(name);
  bool refused = found != mappings_.end() && (access & win::kFileMapWrite) != 0 && !found->second;
  if (found == mappings_.end() || refused) {
    state_.Fail(refused ? win::kErrorAccessDenied : win::kErrorFileNotFound);
    return 0;
  }
  platform::MappingHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = name;
  opens_.back().opened = true;
  return handle;
}

bool FakeFileMappings::CloseHandle(platform::MappingHandle handle) {
  if (handles_.erase(handle) == 0) return state_.Fail(win::kErrorInvalidHandle);
  return true;
}

}  // namespace zv::fake
