#include "package/work_buffer.h"

#include "platform/services.h"

namespace zv {

uint8_t* WorkBuffer = nullptr;

WorkBufferReservation::WorkBufferReservation()
    : block_(platform::Res().AllocateZeroedBlock(kWorkBufferSize)) {
  WorkBuffer = block_ ? block_->data() : nullptr;
}

WorkBufferReservation::~WorkBufferReservation() {
  if (block_) WorkBuffer = nullptr;
}

}  // namespace zv
