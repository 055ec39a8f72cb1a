// libFuzzer target: arbitrary bytes as a container, unpacked and verified on
// a fresh fake machine and checked as a package by zvz check, as a phrase list for
// CompactPhraseList, and as the welcome picture's bitmap file. Besides the sanitizers' checks it
// aborts when anything appears outside the install directory or the filter reports a length beyond
// its text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "package/container_format.h"
#include "package/extract.h"
#include "package/phrase_list.h"
#include "package/verify.h"
#include "package/work_buffer.h"
#include "platform/fake/fake_machine.h"
#include "tools/zvz/package_check.h"
#include "ui/package_bitmap.h"

namespace {

constexpr char kInstallDir[] = "C:\\zavoli\\";

using zv::fuzz::Require;

void FuzzContainer(const uint8_t* data, size_t size) {
  zv::fake::FakeMachine machine;
  machine.Install();
  machine.AddDirectory("C:\\zavoli");
  const auto before = zv::fuzz::DiskOutside(machine, {"C:\\zavoli"});

  // An exact copy, so that the address sanitizer sees any read past the end.
  const auto bytes = zv::fuzz::ExactCopy(data, size);
  static std::vector<uint8_t> scratch(zv::kWorkBufferSize);
  const zv::ContainerBytes container{bytes.get(), size};
  zv::ExtractContainer(container, kInstallDir, zv::ScratchArea{scratch.data(), scratch.size()});
  std::string failList;
  const int passed = zv::VerifyContainer(container, kInstallDir, &failList, "zavocyzk.bak ");
  Require(passed >= 0, "negative pass count");
  Require(zv::fuzz::DiskOutside(machine, {"C:\\zavoli"}) == before,
          "a file appeared outside the install directory");

  // The package check reads the same bytes; each of its findings names an entry.
  const zv::zvz::PackageReport report =
      zv::zvz::CheckPackage(std::string(reinterpret_cast<const char*>(data), size));
  for (const zv::zvz::Finding& finding : report.findings) {
    Require(!finding.entry.empty() && !finding.message.empty(), "a finding without its entry");
  }
}

// Runs the filter with the trailer's room filled with `fill`; returns the
// filtered text and its trailer.
std::string Compact(const uint8_t* data, size_t size, uint8_t fill) {
  std::unique_ptr<uint8_t[]> text(new uint8_t[size + zv::kPhraseTrailerSize]);
  if (size > 0) std::memcpy(text.get(), data, size);
  std::memset(text.get() + size, fill, zv::kPhraseTrailerSize);
  const size_t length = zv::CompactPhraseList(text.get(), size);
  Require(length <= size, "filtered text longer than its input");
  return std::string(reinterpret_cast<char*>(text.get()), length + zv::kPhraseTrailerSize);
}

// The room behind the text is only written: what lay there before must not
// change the result.
void FuzzPhraseList(const uint8_t* data, size_t size) {
  Require(Compact(data, size, 0x00) == Compact(data, size, 0xFF),
          "the filter read the trailer's room behind the text");
}

// A picture is accepted only when all it hands on lies inside its bytes,
// and its clipped copies stay inside the picture.
void FuzzBitmap(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size ? size : 1]);
  if (size > 0) std::memcpy(bytes.get(), data, size);
  const std::optional<zv::BitmapFileView> view = zv::ParseBitmapFile(bytes.get(), size);
  if (!view) return;
  const uint8_t* end = bytes.get() + size;
  Require(view->info >= bytes.get() && view->info + view->infoSize <= view->pixels,
          "the info header overlaps the pixels");
  Require(view->pixels + view->pixelBytes <= end, "pixels past the end of the file");
  for (const zv::BitmapCopy request : {zv::BitmapCopy{0, 0, 400, 190, 0, 0, 400, 190},
                                       zv::BitmapCopy{73, 90, 128, 35, 73, 90, 128, 2}}) {
    const zv::BitmapCopy copy = zv::ClipBitmapCopy(400, 190, view->width, view->height, request);
    Require(copy.xSrc >= 0 && copy.widthSrc >= 0 && copy.xSrc + copy.widthSrc <= view->width,
            "a copy reaches beyond the picture's width");
    Require(copy.ySrc >= 0 && copy.heightSrc >= 0 && copy.ySrc + copy.heightSrc <= view->height,
            "a copy reaches beyond the picture's height");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzContainer(data, size);
  FuzzPhraseList(data, size);
  FuzzBitmap(data, size);
  return 0;
}
