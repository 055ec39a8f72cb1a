// The program's own resources and the movable global memory blocks it reserves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace zv::platform {

// A resource's bytes: read-only memory of the program's module, valid for the
// whole run. `data` is null when the resource was not found or not loadable.
struct ResourceBytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

// A movable global memory block, locked while the object lives; unlocked and
// freed when it is destroyed.
class GlobalBlock {
 public:
  virtual ~GlobalBlock() = default;
  virtual uint8_t* data() = 0;
  virtual size_t size() const = 0;
};

class Resources {
 public:
  virtual ~Resources() = default;
  // FindResourceA + LoadResource + LockResource + SizeofResource in the
  // program's module.
  virtual ResourceBytes LoadResourceBytes(const std::string& name, const std::string& type) = 0;
  // GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT) + GlobalLock. Null on failure.
  virtual std::unique_ptr<GlobalBlock> AllocateZeroedBlock(size_t size) = 0;
};

}  // namespace zv::platform
