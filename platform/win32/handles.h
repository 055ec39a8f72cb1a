// The opaque handles of the platform layer and the Win32 types they stand for.
#pragma once

#include <windows.h>

#include <cstdint>

namespace zv::platform::win32 {

template <typename Handle>
Handle ToWin(uintptr_t value) {
  return reinterpret_cast<Handle>(value);
}

template <typename Handle>
uintptr_t FromWin(Handle handle) {
  return reinterpret_cast<uintptr_t>(handle);
}

}  // namespace zv::platform::win32
