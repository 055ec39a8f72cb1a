// The pool behind the fake machine's global blocks: every block it hands
// out is zero, and a block given back is not handed out again at once.
#include "platform/fake/block_pool.h"

#include <gtest/gtest.h>
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstring>

namespace zv::fake {
namespace {

bool AllZero(const uint8_t* bytes, size_t size) {
  return std::all_of(bytes, bytes + size, [](uint8_t byte) { return byte == 0; });
}

TEST(BlockPool, EveryBlockIsZeroWhateverTheOnesBeforeHeld) {
  // The last sizes end inside a page, the piece that is zeroed by hand.
  for (size_t size : {size_t{16}, size_t{69376}, size_t{1} << 20, size_t{0x200000},
                      (size_t{1} << 20) + 123, size_t{0x200000} - 5}) {
    SCOPED_TRACE(size);
    BlockPool pool;
    for (int round = 0; round < 8; ++round) {
      uint8_t* bytes = pool.Take(size);
      ASSERT_NE(bytes, nullptr);
      EXPECT_TRUE(AllZero(bytes, size));
      std::memset(bytes, 0xA5, size);
      pool.Give(bytes, size);
    }
  }
}

TEST(BlockPool, ABlockGivenBackWaitsWhileAnotherIsHandedOut) {
  constexpr size_t kSize = 0x200000;
  BlockPool pool;
  // A pointer kept past the release of its block.
  uint8_t* released = pool.Take(kSize);
  ASSERT_NE(released, nullptr);
  pool.Give(released, kSize);
  for (int round = 0; round < 6; ++round) {
    uint8_t* next = pool.Take(kSize);
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, released) << "the block given back last came out again";
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_TRUE(__asan_address_is_poisoned(released));
    EXPECT_TRUE(__asan_address_is_poisoned(released + kSize - 1));
    EXPECT_FALSE(__asan_address_is_poisoned(next + kSize - 1));
#endif
    pool.Give(next, kSize);
    released = next;
  }
}

}  // namespace
}  // namespace zv::fake
