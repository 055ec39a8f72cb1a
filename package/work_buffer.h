// The 2 MiB zero-filled scratch block that every install step shares.
#pragma once

#include <memory>

#include "platform/resources.h"
#include "state/package_state.h"

namespace zv {

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
