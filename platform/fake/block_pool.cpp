#include "platform/fake/block_pool.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace zv::fake {
namespace {

// Smaller blocks are cheap to get fresh, and the sanitizer's own quarantine
// watches them better than a pool would.
constexpr size_t kSmallestPooled = size_t{1} << 20;
// A spare is handed out only while this many of its size wait, the one
// given back last among them.
constexpr size_t kWaitingSpares = 2;
// Spares beyond this many of one size are freed.
constexpr size_t kMostSpares = 4;

// Zeroes a spare. Writing a megabyte of zeros costs far more than the few
// pages a short run touches, so the whole pages inside the block go back to
// the system, which maps zero pages in only where the block is used next;
// the pieces of pages at its two ends, shared with whatever lies beside it,
// are zeroed here.
void Zero(uint8_t* bytes, size_t size) {
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t begin = reinterpret_cast<uintptr_t>(bytes);
  const uintptr_t end = begin + size;
  const uintptr_t first = (begin + page - 1) & ~(page - 1);
  const uintptr_t last = end & ~(page - 1);
  if (first >= last || madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED) != 0) {
    std::memset(bytes, 0, size);
    return;
  }
  std::memset(bytes, 0, first - begin);
  std::memset(reinterpret_cast<uint8_t*>(last), 0, end - last);
}

}  // namespace

BlockPool& BlockPool::Shared() {
  // Never destroyed: blocks may be given back while the process exits.
  static BlockPool* const pool = new BlockPool;
  return *pool;
}

BlockPool::~BlockPool() {
  for (auto& [size, blocks] : spares_) {
    for (uint8_t* bytes : blocks) {
      ASAN_UNPOISON_MEMORY_REGION(bytes, size);
      std::free(bytes);
    }
  }
}

uint8_t* BlockPool::Take(size_t size) {
  if (size >= kSmallestPooled) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::deque<uint8_t*>& blocks = spares_[size];
    if (blocks.size() >= kWaitingSpares) {
      uint8_t* bytes = blocks.front();
      blocks.pop_front();
      ASAN_UNPOISON_MEMORY_REGION(bytes, size);
      Zero(bytes, size);
      return bytes;
    }
  }
  return static_cast<uint8_t*>(std::calloc(size, 1));
}

void BlockPool::Give(uint8_t* bytes, size_t size) {
  if (bytes == nullptr) return;
  if (size >= kSmallestPooled) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::deque<uint8_t*>& blocks = spares_[size];
    if (blocks.size() < kMostSpares) {
      ASAN_POISON_MEMORY_REGION(bytes, size);
      blocks.push_back(bytes);
      return;
    }
  }
  std::free(bytes);
}

}  // namespace zv::fake
