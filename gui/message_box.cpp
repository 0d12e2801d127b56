#include "gui/message_box.h"

#include "gui/ui_text.h"

namespace gui {

MessageBoxLook LookOf(int32_t flags) {
    using B = QMessageBox;
    MessageBoxLook look;
    switch (flags & 7) {
        case 1:
            look.buttons = {B::Ok, B::Cancel};
            break;
        case 2:
            look.buttons = {B::Abort, B::Retry, B::Ignore};
            break;
        case 3:
            look.buttons = {B::Yes, B::No, B::Cancel};
            break;
        case 4:
            look.buttons = {B::Yes, B::No};
            break;
        case 5:
            look.buttons = {B::Retry, B::Cancel};
            break;
        default:
            look.buttons = {B::Ok};
            break;
    }
    switch (flags & 0x70) {
        case 16:
            look.icon = B::Critical;
            break;
        case 32:
            look.icon = B::Question;
            break;
        case 48:
            look.icon = B::Warning;
            break;
        case 64:
            look.icon = B::Information;
            break;
        default:
            break;
    }
    auto index = static_cast<size_t>((flags >> 8) & 3);
    look.defaultButton = look.buttons[index < look.buttons.size() ? index : 0];
    return look;
}

int32_t AnswerOf(QMessageBox::StandardButton button) {
    using B = QMessageBox;
    switch (button) {
        case B::Ok:
            return 1;
        case B::Cancel:
            return 2;
        case B::Abort:
            return 3;
        case B::Retry:
            return 4;
        case B::Ignore:
            return 5;
        case B::Yes:
            return 6;
        case B::No:
            return 7;
        default:
            return 0;
    }
}

int32_t ShowMessageBox(QWidget* parent, const std::string& text, int32_t flags,
                       const std::string& title) {
    const MessageBoxLook look = LookOf(flags);
    QMessageBox box(parent);
    box.setObjectName("messageBox");
    box.setIcon(look.icon);
    box.setWindowTitle(Qs(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(Qs(text));
    for (auto b : look.buttons) box.addButton(b);
    box.setDefaultButton(look.defaultButton);
    box.exec();
    auto answer = AnswerOf(box.standardButton(box.clickedButton()));
    // Closed without a button (Escape): the button that closing stands for, else the first.
    if (answer == 0) answer = AnswerOf(box.standardButton(box.escapeButton()));
    return answer != 0 ? answer : AnswerOf(look.buttons.front());
}

}  // namespace gui
