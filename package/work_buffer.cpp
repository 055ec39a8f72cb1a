#include "package/work_buffer.h"

#include "platform/services.h"

namespace zv {

WorkBufferReservation::WorkBufferReservation()
    : block_(platform::Res().AllocateZeroedBlock(kWorkBufferSize)) {
  WorkBuffer = block_ ? block_->data() : nullptr;
}

WorkBufferReservation::~WorkBufferReservation() {
  // Only the reservation that WorkBuffer points at gives it up.
  if (block_ && WorkBuffer == block_->data()) WorkBuffer = nullptr;
}

}  // namespace zv
