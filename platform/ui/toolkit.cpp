#include "platform/ui/toolkit.h"

#include "platform/ui/headless.h"

namespace ui {

namespace {

Toolkit* installed = nullptr;

}  // namespace

Toolkit& Toolkit::Current() {
    if (!installed) {
        // Programs that never chose a toolkit (tools, scripts) run their windows headless. Never
        // destroyed: windows still open at exit must not be torn down after their libraries.
        static HeadlessToolkit* fallback = new HeadlessToolkit();
        installed = fallback;
    }
    return *installed;
}

void Toolkit::SetCurrent(Toolkit* toolkit) {
    installed = toolkit;
}

void Toolkit::BeginBusy() {
    if (busy_++ == 0) ShowBusy(true);
}

void Toolkit::EndBusy() {
    if (--busy_ == 0) ShowBusy(false);
}

ScopedToolkit::ScopedToolkit(Toolkit& toolkit) : previous_(installed) {
    Toolkit::SetCurrent(&toolkit);
}

ScopedToolkit::~ScopedToolkit() {
    Toolkit::SetCurrent(previous_);
}

int32_t MessageBox(const std::string& text, int32_t flags, const std::string& title) {
    return Toolkit::Current().MessageBox(text, flags, title);
}

void Beep() {
    Toolkit::Current().Beep();
}

}  // namespace ui
