#pragma once
// The platform message box on Qt: buttons, icon and default button from the flags the caller
// passes, the answer in the platform's codes.

#include <QMessageBox>
#include <string>
#include <vector>

namespace gui {

struct MessageBoxLook {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    std::vector<QMessageBox::StandardButton> buttons;  // in the order they read
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Flags: the button set (0-7), the icon (16, 32, 48, 64), the default button (256: the second,
// 512: the third).
MessageBoxLook LookOf(int32_t flags);
// 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No.
int32_t AnswerOf(QMessageBox::StandardButton button);

// Shows the box (modal to `parent`) and returns the answer.
int32_t ShowMessageBox(QWidget* parent, const std::string& text, int32_t flags,
                       const std::string& title);

}  // namespace gui
