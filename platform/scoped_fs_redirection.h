// Turns the WOW64 file-system redirection off for the calling thread while
// the object lives, so that a 32-bit process reaches the native system
// folder. Where the process is not under WOW64 it changes nothing.
#pragma once

#include "platform/services.h"

namespace zv::platform {

class ScopedFsRedirectionOff {
 public:
  ScopedFsRedirectionOff() : disabled_(Files().DisableFsRedirection(&oldValue_)) {}
  ~ScopedFsRedirectionOff() {
    if (disabled_) Files().RevertFsRedirection(oldValue_);
  }
  ScopedFsRedirectionOff(const ScopedFsRedirectionOff&) = delete;
  ScopedFsRedirectionOff& operator=(const ScopedFsRedirectionOff&) = delete;

 private:
  void* oldValue_ = nullptr;
  bool disabled_;
};

}  // namespace zv::platform
