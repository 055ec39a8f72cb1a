// Named file mappings of the fake machine. A test creates the mappings that
// other programs hold open; the code under test opens and closes handles.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/fake/machine_state.h"
#include "platform/file_mappings.h"

namespace zv::fake {

struct MappingOpen {
  std::string name;
  uint32_t access = 0;
  bool inheritHandle = false;
  bool opened = false;
};

class FakeFileMappings : public platform::FileMappings {
 public:
  explicit FakeFileMappings(MachineState& state) : state_(state) {}

  // Fails with kErrorFileNotFound for a name no mapping has, kErrorAccessDenied
  // for write access to a read-only one, or by injection of "OpenFileMappingA"
  // (the name as subject).
  platform::MappingHandle OpenFileMappingA(uint32_t access, bool inheritHandle,
                                           const std::string& name) override;
  bool CloseHandle(platform::MappingHandle handle) override;

  // A mapping that another program created.
  void AddFileMapping(const std::string& name, bool writable = true);
  void RemoveFileMapping(const std::string& name) { mappings_.erase(name); }
  // Every open attempt in order, and the handles not yet closed.
  const std::vector<MappingOpen>& MappingOpens() const { return opens_; }
  size_t OpenMappingHandles() const { return handles_.size(); }

 private:
  MachineState& state_;
  std::map<std::string, bool> mappings_;  // name to writable
  std::map<platform::MappingHandle, std::string> handles_;
  std::vector<MappingOpen> opens_;
  platform::MappingHandle nextHandle_ = 0x2000;
};

}  // namespace zv::fake
