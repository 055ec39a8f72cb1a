// The painting of the wizard's pages: each painter covers the whole client
// area of the main window on the device context it is given.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/gui_types.h"
#include "ui/package_bitmap.h"

namespace zv {

void PaintWelcomePage(platform::DcHandle dc);
void PaintWebAddressPage(platform::DcHandle dc);
void PaintInstallPathPage(platform::DcHandle dc);
void PaintProcessingPage(platform::DcHandle dc);
void PaintTypingTestPage(platform::DcHandle dc);

// The painter of the page WizardPage names.
void PaintCurrentPage(platform::DcHandle dc);

// Paints the install-path page at once through a device context of the main
// window (the install calls it while it works).
void RedrawInstallPathPage();

// Draws the progress bar at `done` of `total` through a device context of
// the main window; a `done` below 1 blanks it. Nothing in the silent mode.
void DrawProgress(int32_t done, int32_t total);

// A frame that looks raised: black along the bottom and the right, white
// along the top and the left (each line without its end point). The white
// pen stays selected.
void DrawRaisedFrame(platform::DcHandle dc, int32_t left, int32_t top, int32_t right,
                     int32_t bottom);

// The right and bottom edge a picture region may reach.
struct PictureLimit {
  int32_t x, y;
};

// Draws the region `copy` of the package's bitmap entry `name`, stretched,
// clipped to the picture and to `limit`. Nothing is drawn when the entry is
// missing or is no bitmap whose pixels lie inside its bytes.
void DrawPackageBitmap(platform::DcHandle dc, std::string_view name, const BitmapCopy& copy,
                       PictureLimit limit);

// The welcome page's picture, within the top 400 x 190 pixels of the page:
// that part of the picture as it is, then a strip of 2 rows stretched over
// the 35 rows of the title the picture carries.
inline constexpr PictureLimit kWelcomePictureLimit{400, 190};
inline constexpr BitmapCopy kWelcomePictureTop{0, 0, 400, 190, 0, 0, 400, 190};
inline constexpr BitmapCopy kWelcomeTitleCover{73, 90, 128, 35, 73, 90, 128, 2};

}  // namespace zv
