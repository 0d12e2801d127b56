#include "gui/message_box.h"

#include "gui/ui_text.h"
#include "platform/ui/toolkit.h"

namespace gui {

MessageBoxLook LookOf(int32_t flags) {
    using B = QMessageBox;
    // In the order of the flags' button sets (mb::OkOnly to mb::RetryCancel), icons
    // (mb::Critical to mb::Information) and default buttons.
    static const std::vector<B::StandardButton> sets[] = {{B::Ok},
                                                          {B::Ok, B::Cancel},
                                                          {B::Abort, B::Retry, B::Ignore},
                                                          {B::Yes, B::No, B::Cancel},
                                                          {B::Yes, B::No},
                                                          {B::Retry, B::Cancel}};
    static const B::Icon icons[] = {B::NoIcon, B::Critical, B::Question, B::Warning,
                                    B::Information};
    MessageBoxLook look;
    auto set = static_cast<size_t>(flags & ui::mb::Buttons);
    auto icon = static_cast<size_t>((flags & ui::mb::Icons) / ui::mb::Critical);
    look.buttons = set < std::size(sets) ? sets[set] : sets[0];
    look.icon = icon < std::size(icons) ? icons[icon] : B::NoIcon;
    auto index = static_cast<size_t>((flags & ui::mb::DefaultButtons) / ui::mb::DefaultButton2);
    look.defaultButton = look.buttons[index < look.buttons.size() ? index : 0];
    return look;
}

int32_t AnswerOf(QMessageBox::StandardButton button) {
    using B = QMessageBox;
    using namespace ui::mb;
    static const std::pair<B::StandardButton, int32_t> answers[] = {
        {B::Ok, AnswerOk},       {B::Cancel, AnswerCancel}, {B::Abort, AnswerAbort},
        {B::Retry, AnswerRetry}, {B::Ignore, AnswerIgnore}, {B::Yes, AnswerYes},
        {B::No, AnswerNo}};
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
