// The page the wizard shows.
#pragma once

#include <cstdint>

namespace zv {

// 0 before the window exists; the page numbers of the wizard after that.
extern int32_t WizardPage;

}  // namespace zv
