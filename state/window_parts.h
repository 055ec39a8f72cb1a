// What the main window owns while it exists and its painters draw with: the
// two edit boxes, the fonts and the red brush. The wizard (ui/) sets them on
// creation, deletes the drawing tools and empties them on destruction.
#pragma once

#include "platform/gui_types.h"

namespace zv {

struct MainWindowParts {
  platform::InstanceHandle instance = 0;
  platform::WindowHandle nameBox = 0;
  platform::WindowHandle webAddressBox = 0;
  platform::GdiObject bodyFont = 0;
  platform::GdiObject titleFont = 0;
  platform::GdiObject redBrush = 0;
};

extern MainWindowParts WindowParts;

}  // namespace zv
