// The program's resources and global memory blocks on the fake machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/machine_state.h"
#include "platform/resources.h"

namespace zv::fake {

class FakeResources : public platform::Resources {
 public:
  explicit FakeResources(MachineState& state)
      : state_(state), liveBlocks_(std::make_shared<size_t>(0)) {}

  // Names and types compare without regard to ASCII case, as FindResourceA's.
  // The bytes stay at one address for the machine's lifetime.
  platform::ResourceBytes LoadResourceBytes(const std::string& name,
                                            const std::string& type) override;
  // Null for a size of 0, past the fake's limit of 256 MiB, or by injection
  // of "GlobalAlloc".
  std::unique_ptr<platform::GlobalBlock> AllocateZeroedBlock(size_t size) override;

  // Adds a resource to the program's module; a later one of the same name
  // and type takes the place of the earlier (whose bytes stay valid).
  void AddResource(const std::string& name, const std::string& type,
                   const std::vector<uint8_t>& bytes);
  void AddResource(const std::string& name, const std::string& type, const std::string& bytes);
  // Blocks allocated and not yet freed.
  size_t LiveBlockCount() const { return *liveBlocks_; }

 private:
  MachineState& state_;
  std::list<std::vector<uint8_t>> storage_;
  std::map<std::string, const std::vector<uint8_t>*> resources_;
  std::shared_ptr<size_t> liveBlocks_;
};

}  // namespace zv::fake
