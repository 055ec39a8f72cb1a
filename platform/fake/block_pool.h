// Zeroed memory for the fake machine's global blocks, kept across machines.
//
// A fresh block of a megabyte or more costs much under the address
// sanitizer: its allocator maps and unmaps such a block each time and marks
// every byte of its shadow twice. A fuzz target that reserves the 2 MiB work
// buffer for each input would spend most of its time there. The pool keeps
// the large blocks given back, poisoned so that any use of one after its
// release is reported, and hands them out again zeroed. A block given back
// waits while another of its size is handed out, so that a pointer kept
// across a release and a new reservation still hits poisoned memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>

namespace zv::fake {

class BlockPool {
 public:
  // The pool every fake machine of the process shares.
  static BlockPool& Shared();

  BlockPool() = default;
  ~BlockPool();
  BlockPool(const BlockPool&) = delete;
  BlockPool& operator=(const BlockPool&) = delete;

  // A block of `size` zero bytes (size > 0), or null when the memory is
  // refused. Each block goes back through Give with its size.
  uint8_t* Take(size_t size);
  void Give(uint8_t* bytes, size_t size);

 private:
  std::mutex mutex_;
  // The large blocks given back, by size, the oldest first.
  std::map<size_t, std::deque<uint8_t*>> spares_;
};

}  // namespace zv::fake
