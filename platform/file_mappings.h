// Named file mappings, by which a running IME shows that it is in memory.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gui_types.h"

namespace zv::platform {

class FileMappings {
 public:
  virtual ~FileMappings() = default;
  // OpenFileMappingA(access, inheritHandle, name): an open handle of the
  // existing mapping `name` (names are case-sensitive), 0 when there is none
  // or access is refused.
  virtual MappingHandle OpenFileMappingA(uint32_t access, bool inheritHandle,
                                         const std::string& name) = 0;
  // CloseHandle of a handle from OpenFileMappingA.
  virtual bool CloseHandle(MappingHandle handle) = 0;
};

}  // namespace zv::platform
