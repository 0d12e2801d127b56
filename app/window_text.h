#pragma once
// The module's window written out as text: what a person would see on the screen.

#include <ostream>
#include <string>

#include "platform/ui/form.h"

namespace app {

void PrintWindow(ui::IForm& window, std::ostream& out);

// Opens the module's window for a company (0: the first) in the headless host and prints it,
// with the messages it showed. `createDemo` creates a missing database with the demo data.
void ShowWindowAsText(const std::string& connectionString, bool createDemo, int company,
                      const std::string& language, std::ostream& out);

}  // namespace app
