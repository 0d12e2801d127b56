#include "gui/message_box.h"

#include "gui/ui_text.h"

namespace gui {

MessageBoxLook LookOf(int32_t flags) {
    using B = QMessageBox;
    static const std::vector<B::StandardButton> sets[] = {{B::Ok},
                                                          {B::Ok, B::Cancel},
                                                          {B::Abort, B::Retry, B::Ignore},
                                                          {B::Yes, B::No, B::Cancel},
                                                          {B::Yes, B::No},
                                                          {B::Retry, B::Cancel}};
    static const B::Icon icons[] = {B::NoIcon, B::Critical, B::Question, B::Warning,
                                    B::Information};
    MessageBoxLook look;
    auto set = static_cast<size_t>(flags & 7), icon = static_cast<size_t>((flags >> 4) & 7);
    look.buttons = set < std::size(sets) ? sets[set] : sets[0];
    look.icon = icon < std::size(icons) ? icons[icon] : B::NoIcon;
    auto index = static_cast<size_t>((flags >> 8) & 3);
    look.defaultButton = look.buttons[index < look.buttons.size() ? index : 0];
    return look;
}

int32_t AnswerOf(QMessageBox::StandardButton button) {
    using B = QMessageBox;
    static const std::pair<B::StandardButton, int32_t> answers[] = {
        {B::Ok, 1},     {B::Cancel, 2}, {B::Abort, 3}, {B::Retry, 4},
        {B::Ignore, 5}, {B::Yes, 6},    {B::No, 7}};
    for (const auto& [b, answer] : answers)
        if (b == button) return answer;
    return 0;
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
