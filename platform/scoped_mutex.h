// A named mutex held for the length of a scope, closed on every path.
#pragma once

#include <string>

#include "platform/processes.h"
#include "platform/services.h"

namespace zv::platform {

// CreateMutexA on construction, CloseMutex on destruction.
class ScopedNamedMutex {
 public:
  explicit ScopedNamedMutex(const std::string& name)
      : handle_(Programs().CreateMutexA(name, &alreadyExisted_)) {}
  ~ScopedNamedMutex() {
    if (handle_ != 0) Programs().CloseMutex(handle_);
  }
  ScopedNamedMutex(const ScopedNamedMutex&) = delete;
  ScopedNamedMutex& operator=(const ScopedNamedMutex&) = delete;

  // True when another process already had a mutex of this name.
  bool alreadyExisted() const { return alreadyExisted_; }

 private:
  bool alreadyExisted_ = false;
  MutexHandle handle_;
};

}  // namespace zv::platform
