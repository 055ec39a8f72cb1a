#include "ui/window_parts.h"

namespace zv {

MainWindowParts WindowParts;

}  // namespace zv
