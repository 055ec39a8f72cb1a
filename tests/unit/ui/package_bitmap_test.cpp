#include "ui/package_bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/container_writer.h"
#include "package/work_buffer.h"
#include "platform/fake/fake_machine.h"
#include "state/package_state.h"
#include "state/process_state.h"

namespace zv {
namespace {

void PutU32(std::string* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<char>(value >> (8 * i));
}

// A 24-bit bottom-up bitmap file of `width` x `height` pixels.
std::string BitmapFile(uint32_t width, uint32_t height) {
  const uint32_t rowBytes = (width * 3 + 3) & ~3u;
  std::string file(54 + rowBytes * height, '\x7f');
  file[0] = 'B';
  file[1] = 'M';
  PutU32(&file, 2, static_cast<uint32_t>(file.size()));
  PutU32(&file, 6, 0);
  PutU32(&file, 10, 54);
  PutU32(&file, 14, 40);
  PutU32(&file, 18, width);
  PutU32(&file, 22, height);
  file[26] = 1;
  file[27] = 0;
  file[28] = 24;
  file[29] = 0;
  for (size_t i = 30; i < 54; ++i) file[i] = 0;
  return file;
}

std::optional<BitmapFileView> Parse(const std::string& file) {
  return ParseBitmapFile(reinterpret_cast<const uint8_t*>(file.data()), file.size());
}

TEST(PackageBitmap, OnlyPicturesWhosePixelsLieInsideTheBytesAreAccepted) {
  const std::string good = BitmapFile(401, 310);
  const std::optional<BitmapFileView> view = Parse(good);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->width, 401);
  EXPECT_EQ(view->height, 310);
  EXPECT_EQ(view->pixelBytes, 1204u * 310);
  EXPECT_EQ(view->pixels, reinterpret_cast<const uint8_t*>(good.data()) + 54);

  struct Case {
    const char* why;
    size_t at;  // where a u32 is written (0: the file is cut to `value` bytes)
    uint32_t value;
  };
  const Case refused[] = {
      {"cut inside the headers", 0, 53},
      {"cut inside the last row", 0, 54 + 1204 * 310 - 1},
      {"no BM", 0, 0},
      {"pixel offset past the end", 10, 0xFFFFFFF0u},
      {"pixels inside the header", 10, 20},
      {"info header too small", 14, 12},
      {"info header past the end", 14, 0x7FFFFFFFu},
      {"zero width", 18, 0},
      {"negative height", 22, static_cast<uint32_t>(-310)},
      {"huge width", 18, 0x10000},
      {"huge height", 22, 0x7FFFFFFFu},
      {"8-bit picture", 28, 8},
      {"compressed", 30, 1},
      {"colour table past the pixels", 46, 0x40000000u},
  };
  for (const Case& c : refused) {
    std::string file = good;
    if (c.at == 0 && c.value == 0) {
      file[0] = 'X';
    } else if (c.at == 0) {
      file.resize(c.value);
    } else if (c.at == 28) {
      file[28] = static_cast<char>(c.value);
    } else {
      PutU32(&file, c.at, c.value);
    }
    EXPECT_FALSE(Parse(file)) << c.why;
  }
  EXPECT_FALSE(ParseBitmapFile(nullptr, 100));
}

TEST(PackageBitmap, CopiesAreClippedToThePictureAndTheLimits) {
  struct Case {
    int32_t limitX, limitY, width, height;
    BitmapCopy request, expected;
  };
  const Case cases[] = {
      // The welcome picture's top 400 x 190 pixels, then the title strip.
      {400, 190, 401, 310, {0, 0, 400, 190, 0, 0, 400, 190}, {0, 0, 400, 190, 0, 0, 400, 190}},
      {400, 190, 401, 310, {73, 90, 128, 35, 73, 90, 128, 2}, {73, 90, 128, 35, 73, 90, 128, 2}},
      // A source reaching beyond a small picture keeps only what is inside.
      {400, 190, 100, 50, {0, 0, 400, 190, 60, 40, 400, 190}, {0, 0, 400, 190, 60, 40, 40, 10}},
      {400, 190, 100, 50, {0, 0, 400, 190, 150, 80, 10, 10}, {0, 0, 400, 190, 100, 50, 0, 0}},
      // A destination at or beyond a limit draws nothing.
      {400, 190, 401, 310, {400, 10, 20, 20, 0, 0, 20, 20}, {400, 10, 0, 20, 0, 0, 20, 20}},
      {400, 190, 401, 310, {10, 500, 20, 20, 0, 0, 20, 20}, {10, 190, 20, 0, 0, 0, 20, 20}},
      // The limit shrinks to the picture's extent at the destination.
      {400, 190, 30, 30, {50, 50, 20, 20, 0, 0, 20, 20}, {50, 50, 20, 20, 0, 0, 20, 20}},
  };
  for (const Case& c : cases) {
    const BitmapCopy got = ClipBitmapCopy(c.limitX, c.limitY, c.width, c.height, c.request);
    const BitmapCopy& e = c.expected;
    EXPECT_EQ(std::vector<int32_t>({got.xDest, got.yDest, got.widthDest, got.heightDest, got.xSrc,
                                    got.ySrc, got.widthSrc, got.heightSrc}),
              std::vector<int32_t>({e.xDest, e.yDest, e.widthDest, e.heightDest, e.xSrc, e.ySrc,
                                    e.widthSrc, e.heightSrc}))
        << c.request.xDest << "," << c.request.yDest;
  }
}

TEST(PackageBitmap, TheFirstEntryOfTheExactNameIsUnpackedBehindTheNameSlot) {
  ResetProcessState();
  fake::FakeMachine machine;
  machine.Install();
  const std::string picture = BitmapFile(4, 2);
  ContainerWriter writer(ContainerLayout::kDigest);
  ASSERT_EQ(writer.Add("KPMT1.BMP.x", "other"), AddResult::kAdded);
  ASSERT_EQ(writer.Add("kpmt1.bmp", picture), AddResult::kAdded);
  const std::string package = writer.Finish();

  // Without a package or a work buffer nothing is read or written.
  EXPECT_EQ(LoadPackageBitmap("kpmt1.bmp"), 0u);
  PackageResource = PackageBytes{reinterpret_cast<const uint8_t*>(package.data()), package.size()};
  EXPECT_EQ(LoadPackageBitmap("kpmt1.bmp"), 0u);

  WorkBufferReservation buffer;
  ASSERT_TRUE(buffer.reserved());
  ASSERT_EQ(LoadPackageBitmap("kpmt1.bmp"), picture.size());
  EXPECT_EQ(std::memcmp(WorkBuffer + kBitmapOffset, picture.data(), picture.size()), 0);
  // The name is compared exactly; a miss leaves no "BM" behind, and nor
  // does a stream that breaks off after the picture's first bytes.
  EXPECT_EQ(LoadPackageBitmap("KPMT1.BMP"), 0u);
  EXPECT_EQ(WorkBuffer[kBitmapOffset], 0);
  EXPECT_EQ(WorkBuffer[kBitmapOffset + 1], 0);
  ContainerWriter single(ContainerLayout::kDigest);
  ASSERT_EQ(single.Add("kpmt1.bmp", picture), AddResult::kAdded);
  std::string cut = single.Finish();
  // Without the stream's last four bytes, its checksum, all of the picture
  // still inflates but the stream fails.
  uint8_t* streamSize =
      reinterpret_cast<uint8_t*>(&cut[kContainerHeaderSize + kDigestStreamSizeOffset]);
  WriteU32(streamSize, ReadU32(streamSize) - 4);
  PackageResource = PackageBytes{reinterpret_cast<const uint8_t*>(cut.data()), cut.size()};
  EXPECT_EQ(LoadPackageBitmap("kpmt1.bmp"), 0u);
  EXPECT_EQ(WorkBuffer[kBitmapOffset], 0);
  EXPECT_EQ(WorkBuffer[kBitmapOffset + 1], 0);
  ResetProcessState();
}

}  // namespace
}  // namespace zv
