#pragma once
// The module's window written out as text: what a person would see on the screen.

#include <ostream>

#include "platform/ui/form.h"

namespace app {

void PrintWindow(ui::IForm& window, std::ostream& out);

}  // namespace app
