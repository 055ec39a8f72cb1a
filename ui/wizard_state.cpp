#include "ui/wizard_state.h"

namespace zv {

int32_t WizardPage = 0;
FixedText<100> WebAddress;

}  // namespace zv
