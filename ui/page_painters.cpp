#include "ui/page_painters.h"

#include <string>

#include "package/package_entries.h"
#include "platform/scoped_gdi.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "platform/win_constants.h"
#include "state/locations.h"
#include "state/message_text.h"
#include "state/package_state.h"
#include "state/run_state.h"
#include "state/window_parts.h"
#include "state/wizard_state.h"
#include "system/installer_ime_activation.h"
#include "ui/package_bitmap.h"
#include "ui/page_colours.h"
#include "ui/page_flow.h"
#include "ui/ui_texts.h"

namespace zv {
namespace {

using platform::ColorRef;
using platform::DcHandle;
using platform::Gdi;

constexpr ColorRef kWhite = platform::Rgb(255, 255, 255);
constexpr ColorRef kBlack = platform::Rgb(0, 0, 0);
constexpr ColorRef kGrey = platform::Rgb(128, 128, 128);
constexpr ColorRef kLabelColour = platform::Rgb(255, 128, 128);
constexpr ColorRef kHighlight = platform::Rgb(255, 187, 187);
constexpr ColorRef kEditionColour = platform::Rgb(33, 205, 173);
constexpr ColorRef kWelcomeTitleColour = platform::Rgb(96, 96, 128);
constexpr ColorRef kVersionColour = platform::Rgb(0, 0, 192);

ColorRef AsColorRef(Rgb colour) { return platform::Rgb(colour.red, colour.green, colour.blue); }

// 310 lines, each with a pen of its own made and deleted on the spot.
template <typename RowColour>
void DrawGradient(DcHandle dc, RowColour rowColour) {
  for (int32_t y = 0; y < kPageHeight; ++y) {
    platform::ScopedPen pen(Gdi().CreatePen(win::kPsSolid, 1, AsColorRef(rowColour(y))));
    platform::ScopedSelection selected(dc, pen.get());
    Gdi().MoveToEx(dc, 0, y);
    Gdi().LineTo(dc, kPageWidth, y);
  }
}

void Text(DcHandle dc, int32_t x, int32_t y, ColorRef colour, std::u16string_view text) {
  Gdi().SetTextColor(dc, colour);
  Gdi().TextOutW(dc, x, y, std::u16string(text));
}

// Black, three grey shadows and a white copy on top.
void EmbossedTitle(DcHandle dc, int32_t x, int32_t y, std::u16string_view text) {
  Text(dc, x, y, kBlack, text);
  for (int32_t offset = 8; offset <= 10; ++offset) Text(dc, x + offset, y + offset, kGrey, text);
  Text(dc, x + 11, y + 11, kWhite, text);
}

void HighlightedSecondLine(DcHandle dc, std::u16string_view text) {
  for (int32_t at = 88; at <= 90; ++at) Text(dc, at, at, kGrey, text);
  Text(dc, 91, 91, kHighlight, text);
  Text(dc, 92, 91, kHighlight, text);
}

void Frame(DcHandle dc, const ClientRect& rect) {
  DrawRaisedFrame(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void ButtonLabels(DcHandle dc, std::u16string_view confirm, std::u16string_view exit) {
  Text(dc, kConfirmButton.left + 5, kConfirmButton.top + 2, kLabelColour, confirm);
  Text(dc, kExitButton.left + 5, kExitButton.top + 2, kLabelColour, exit);
}

void FieldText(DcHandle dc, std::u16string_view text) {
  Text(dc, kFieldFrame.left + 5, kFieldFrame.top + 4, kWhite, text);
}

void ShowNameBox(bool show) {
  if (WindowParts.nameBox != 0) {
    platform::Windows().ShowWindow(WindowParts.nameBox, show ? win::kSwShow : win::kSwHide);
  }
}

}  // namespace

void DrawRaisedFrame(DcHandle dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Gdi().SelectObject(dc, Gdi().GetStockObject(win::kBlackPen));
  Gdi().MoveToEx(dc, left, bottom);
  Gdi().LineTo(dc, right, bottom);
  Gdi().LineTo(dc, right, top);
  Gdi().SelectObject(dc, Gdi().GetStockObject(win::kWhitePen));
  Gdi().LineTo(dc, left, top);
  Gdi().LineTo(dc, left, bottom);
}

void DrawPackageBitmap(DcHandle dc, std::string_view name, const BitmapCopy& request,
                       PictureLimit limit) {
  const size_t length = LoadPackageBitmap(name);
  if (length == 0) return;
  const std::optional<BitmapFileView> picture = ParseBitmapFile(WorkBuffer + kBitmapOffset, length);
  if (!picture) return;
  const BitmapCopy copy =
      ClipBitmapCopy(limit.x, limit.y, picture->width, picture->height, request);
  platform::ScopedBitmap bitmap(Gdi().CreateDIBitmap(dc, picture->info, picture->infoSize,
                                                     picture->pixels, picture->pixelBytes,
                                                     win::kDibRgbColors));
  if (!bitmap.valid()) return;
  platform::ScopedMemoryDc memory(Gdi().CreateCompatibleDC(dc));
  if (!memory.valid()) return;
  platform::ScopedSelection selected(memory.get(), bitmap.get());
  Gdi().StretchBlt(dc, copy.xDest, copy.yDest, copy.widthDest, copy.heightDest, memory.get(),
                   copy.xSrc, copy.ySrc, copy.widthSrc, copy.heightSrc, win::kSrcCopy);
}

void PaintWelcomePage(DcHandle dc) {
  DrawGradient(dc, WelcomeGradient);
  // Drawn with the context's own font, colours and opaque background: the
  // picture covers it, so it stays only when the picture cannot be drawn.
  Gdi().TextOutW(dc, 50, 150, texts::ui::kLoadingNotice);
  Gdi().SetBkMode(dc, win::kTransparent);
  DrawPackageBitmap(dc, entries::kWelcomePicture, kWelcomePictureTop, kWelcomePictureLimit);
  DrawPackageBitmap(dc, entries::kWelcomePicture, kWelcomeTitleCover, kWelcomePictureLimit);
  {
    platform::ScopedFont bold(Gdi().CreateFontA(30, 15, win::kFwBold, win::kGb2312Charset, "楷体"));
    platform::ScopedSelection selected(dc, bold.get());
    Text(dc, 75, 90, kWelcomeTitleColour, texts::ui::kPinyinTitle);
    Text(dc, 83, 93, kEditionColour, texts::ui::kPinyinTitle);
  }
  platform::ScopedSelection body(dc, WindowParts.bodyFont);
  Text(dc, 10, 165, kWhite, texts::ui::kWelcomeQuestion);
  Text(dc, 50, 195, kWhite, texts::ui::kWelcomePromise);
  Text(dc, 220, 100, kVersionColour, texts::ui::kVersionMark);
  Frame(dc, kConfirmButton);
  Frame(dc, kExitButton);
  ButtonLabels(dc, texts::ui::kInstallLabel, texts::ui::kQuitLabel);
}

void PaintWebAddressPage(DcHandle dc) {
  DrawGradient(dc, PageGradient);
  Gdi().SetBkMode(dc, win::kTransparent);
  platform::ScopedSelection body(dc, WindowParts.bodyFont);
  Text(dc, 30, 10, kBlack, texts::ui::kSetupTitle);
  Text(dc, 39, 19, kWhite, texts::ui::kSetupTitle);
  Text(dc, 250, 19, kEditionColour, texts::ui::kPinyinEditionMark);
  Text(dc, 20, 70, kWhite, texts::ui::kWebAddressLine1);
  Text(dc, 20, 90, kWhite, texts::ui::kWebAddressLine2);
  Text(dc, 20, 110, kWhite, texts::ui::kWebAddressLine3);
  Frame(dc, kConfirmButton);
  Frame(dc, kExitButton);
  Frame(dc, kFieldFrame);
  FieldText(dc, texts::ui::kWebAddressField);
  ButtonLabels(dc, texts::ui::kInstallLabel, texts::ui::kQuitLabel);
}

void PaintInstallPathPage(DcHandle dc) {
  DrawGradient(dc, PageGradient);
  Gdi().SetBkMode(dc, win::kTransparent);
  {
    platform::ScopedSelection title(dc, WindowParts.titleFont);
    EmbossedTitle(dc, 30, 20, texts::ui::kPlatformTitle);
  }
  platform::ScopedSelection body(dc, WindowParts.bodyFont);
  EmbossedTitle(dc, 100, 80, texts::ui::kEditionTitle);
  Text(dc, 50, 130, kWhite, texts::ui::kSystemsLine1);
  Text(dc, 30, 155, kWhite, texts::ui::kSystemsLine2);
  Frame(dc, kConfirmButton);
  Frame(dc, kExitButton);
  Frame(dc, kFieldFrame);
  ShowNameBox(false);
  // The path is 8-bit text of the system's code page; the long ones run on
  // past the frame, uncut.
  FieldText(dc, FillNameSlot<char16_t>(texts::ui::kInstallPathField,
                                       platform::Codec().MultiByteToWideChar(InstallDir.view())));
  ButtonLabels(dc, texts::ui::kInstallLabel, texts::ui::kQuitLabel);
}

void PaintProcessingPage(DcHandle dc) {
  DrawGradient(dc, PageGradient);
  Gdi().SetBkMode(dc, win::kTransparent);
  {
    platform::ScopedSelection title(dc, WindowParts.titleFont);
    EmbossedTitle(dc, 30, 20, texts::ui::kProcessingTitle);
  }
  platform::ScopedSelection body(dc, WindowParts.bodyFont);
  Text(dc, 80, 80, kBlack, texts::ui::kProcessingLine);
  HighlightedSecondLine(dc, texts::ui::kProcessingLine);
}

void PaintTypingTestPage(DcHandle dc) {
  ShowNameBox(true);
  DrawGradient(dc, PageGradient);
  Gdi().SetBkMode(dc, win::kTransparent);
  {
    platform::ScopedSelection title(dc, WindowParts.titleFont);
    EmbossedTitle(dc, 30, 20, texts::ui::kWelcomeTitle);
  }
  {
    platform::ScopedSelection body(dc, WindowParts.bodyFont);
    HighlightedSecondLine(dc, texts::ui::kWelcomeLine);
    Text(dc, 50, 130, kWhite, texts::ui::kInstalledLine);
    Text(dc, 50, 155, kWhite, texts::ui::kTryItLine);
    Text(dc, 10, 190, kWhite, texts::ui::kNamePrompt);
    Frame(dc, kConfirmButton);
    Frame(dc, kExitButton);
    ButtonLabels(dc, texts::ui::kFinishLabel, texts::ui::kQuitLabel);
  }
  ActivateImeForInstaller();
}

void PaintCurrentPage(DcHandle dc) {
  switch (PageKindOf(WizardPage)) {
    case PageKind::kWelcome:
      PaintWelcomePage(dc);
      break;
    case PageKind::kWebAddress:
      PaintWebAddressPage(dc);
      break;
    case PageKind::kInstallPath:
      PaintInstallPathPage(dc);
      break;
    case PageKind::kProcessing:
      PaintProcessingPage(dc);
      break;
    case PageKind::kTypingTest:
      PaintTypingTestPage(dc);
      break;
  }
}

void RedrawInstallPathPage() {
  const platform::ScopedDc dc(MainWindow);
  if (dc.valid()) PaintInstallPathPage(dc.get());
}

void DrawProgress(int32_t done, int32_t total) {
  if (RunMode == kRunModeSilent) return;
  const platform::ScopedDc dc(MainWindow);
  if (!dc.valid()) return;
  const int32_t top = kProgressBar.y + 3;
  const int32_t bottom = kProgressBar.y + kProgressBar.height;
  if (done >= 1) {
    platform::ScopedSelection brush(dc.get(), WindowParts.redBrush);
    Gdi().Rectangle(dc.get(), kProgressBar.x, top, kProgressBar.x + ProgressFillWidth(done, total),
                    bottom);
  } else {
    platform::ScopedSelection brush(dc.get(), Gdi().GetStockObject(win::kWhiteBrush));
    Gdi().Rectangle(dc.get(), kProgressBar.x, top, kProgressBar.x + kProgressBar.width, bottom);
  }
}

}  // namespace zv
