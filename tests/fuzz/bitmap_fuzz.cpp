// libFuzzer target: the welcome picture. The first byte's low bit chooses
// what the rest is: 0, the picture's bitmap file, packed as the entry
// "kpmt1.bmp" of a package behind another entry; 1, the package itself.
// LoadPackageBitmap unpacks the entry into WorkBuffer and DrawPackageBitmap
// draws the welcome page's two regions of it (the whole picture and the
// strip over its title) on a fake screen, which is then replayed onto a
// canvas. WorkBuffer behind the unpacked bytes is poisoned while drawing, so
// any read of the picture past its bytes stops the run. Every copy must stay
// inside the picture and the page's picture area, and nothing drawn may be
// left undeleted.
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "package/container_writer.h"
#include "platform/fake/fake_canvas.h"
#include "platform/fake/fake_machine.h"
#include "platform/services.h"
#include "state/package_state.h"
#include "state/process_state.h"
#include "ui/package_bitmap.h"
#include "ui/page_painters.h"

namespace {

using zv::fuzz::Require;

constexpr char kPicture[] = "kpmt1.bmp";
// The welcome page the regions are drawn on, and the colour it starts with.
constexpr int32_t kPageWidth = 400;
constexpr int32_t kPageHeight = 310;
constexpr zv::platform::ColorRef kBackground = zv::platform::Rgb(1, 2, 3);

void DrawWelcomeRegions() {
  const zv::platform::DcHandle dc = zv::platform::Gdi().GetDC(0);
  zv::DrawPackageBitmap(dc, kPicture, zv::kWelcomePictureTop, zv::kWelcomePictureLimit);
  zv::DrawPackageBitmap(dc, kPicture, zv::kWelcomeTitleCover, zv::kWelcomePictureLimit);
  zv::platform::Gdi().ReleaseDC(0, dc);
}

void CheckCopies(const std::vector<zv::fake::DrawCall>& calls) {
  for (const zv::fake::DrawCall& call : calls) {
    if (call.kind != zv::fake::DrawKind::kStretchBlt) continue;
    Require(call.bitmap != nullptr, "a copy without a picture");
    const zv::platform::Rect& s = call.source;
    Require(s.left >= 0 && s.top >= 0 && s.left <= s.right && s.top <= s.bottom &&
                s.right <= call.bitmap->width && s.bottom <= call.bitmap->height,
            "a copy reaches beyond the picture");
    const zv::platform::Rect& d = call.rect;
    Require(d.left >= 0 && d.top >= 0 && d.left <= d.right && d.top <= d.bottom &&
                d.right <= zv::kWelcomePictureLimit.x && d.bottom <= zv::kWelcomePictureLimit.y,
            "a copy reaches beyond the picture area");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  zv::ResetProcessState();
  zv::fake::FakeMachine machine;
  machine.Install();
  static std::vector<uint8_t> work(zv::kWorkBufferSize);
  std::memset(work.data(), 0, work.size());
  zv::WorkBuffer = work.data();

  const bool wholePackage = data[0] & 1;
  const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string package = file;
  bool packed = false;
  if (!wholePackage) {
    zv::ContainerWriter writer((data[0] & 2) ? zv::ContainerLayout::kDigest
                                             : zv::ContainerLayout::kPlain);
    writer.Add("kpmt0.bmp", "not the picture");
    packed = writer.Add(kPicture, file) == zv::AddResult::kAdded;
    package = writer.Finish();
  }
  const auto bytes =
      zv::fuzz::ExactCopy(reinterpret_cast<const uint8_t*>(package.data()), package.size());
  zv::PackageResource = zv::PackageBytes{bytes.get(), package.size()};

  const size_t length = zv::LoadPackageBitmap(kPicture);
  Require(length <= zv::kWorkBufferSize - zv::kBitmapOffset, "the picture overran WorkBuffer");
  if (packed) {
    Require(length == file.size() &&
                std::memcmp(work.data() + zv::kBitmapOffset, file.data(), length) == 0,
            "the packed picture did not unpack to its bytes");
  }
  if (length == 0) {
    Require(work[zv::kBitmapOffset] == 0 && work[zv::kBitmapOffset + 1] == 0,
            "a failed look-up left a picture's mark");
  }

  // Drawing unpacks the picture again into the same place; everything
  // behind it is out of bounds. (A stream that fails is not drawn, but may
  // write anywhere in its room, so nothing is poisoned for it.)
  // The two bytes zeroed before each unpacking belong to the picture's place.
  const size_t used = std::max<size_t>(length, 2);
  uint8_t* behind = work.data() + zv::kBitmapOffset + used;
  const size_t behindSize = length > 0 ? work.size() - zv::kBitmapOffset - used : 0;
  machine.ClearDrawCalls();
  ASAN_POISON_MEMORY_REGION(behind, behindSize);
  DrawWelcomeRegions();
  // One canvas for every input: a fresh one would cost a mapping of its own.
  static zv::fake::Canvas canvas(kPageWidth, kPageHeight, kBackground);
  canvas.Fill(kBackground);
  zv::fake::ReplayOnto(machine.DrawCalls(), &canvas);
  ASAN_UNPOISON_MEMORY_REGION(behind, behindSize);
  CheckCopies(machine.DrawCalls());
  Require(canvas.pixels.size() == size_t{kPageWidth} * kPageHeight, "the canvas changed its size");
  Require(machine.LiveDcCount() == 0 && machine.LiveObjectCount() == 0,
          "drawing the picture left a context or an object behind");

  zv::WorkBuffer = nullptr;
  zv::PackageResource = zv::PackageBytes{};
  zv::ResetProcessState();
  return 0;
}
