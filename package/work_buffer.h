// The 2 MiB zero-filled scratch block that every install step shares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/resources.h"

namespace zv {

inline constexpr size_t kWorkBufferSize = 0x200000;

// The reserved block's address, null while none is reserved.
extern uint8_t* WorkBuffer;

// Reserves WorkBuffer for its lifetime (movable, zero-filled, locked) and
// frees it on destruction. reserved() is false when the memory was refused.
class WorkBufferReservation {
 public:
  WorkBufferReservation();
  ~WorkBufferReservation();
  WorkBufferReservation(const WorkBufferReservation&) = delete;
  WorkBufferReservation& operator=(const WorkBufferReservation&) = delete;

  bool reserved() const { return block_ != nullptr; }

 private:
  std::unique_ptr<platform::GlobalBlock> block_;
};

}  // namespace zv
