// A named file mapping opened for the length of a check, closed on every path.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_mappings.h"
#include "platform/services.h"

namespace zv::platform {

// OpenFileMappingA on construction, CloseHandle on destruction.
class ScopedMapping {
 public:
  ScopedMapping(uint32_t access, bool inheritHandle, const std::string& name)
      : handle_(Mappings().OpenFileMappingA(access, inheritHandle, name)) {}
  ~ScopedMapping() {
    if (handle_ != 0) Mappings().CloseHandle(handle_);
  }
  ScopedMapping(const ScopedMapping&) = delete;
  ScopedMapping& operator=(const ScopedMapping&) = delete;

  bool valid() const { return handle_ != 0; }
  MappingHandle get() const { return handle_; }

 private:
  MappingHandle handle_;
};

}  // namespace zv::platform
