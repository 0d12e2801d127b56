#include "framework/controls/edit.h"

#include "platform/text/text.h"
#include "platform/text/utf8.h"

namespace framework {

Edit::Edit() {
    AddBoundMembers(members_, *this, state_);
}

std::string Edit::Shown(const std::string& text) const {
    return upper_ ? txt::Upper(text) : text;
}

void Edit::SetText(const std::string& text) {
    Set(text_, Shown(text));
}

void Edit::SetDisplayFormat(const std::string& format) {
    displayFormat_ = format;
    upper_ = format == host::display_format::Upper;
    text_ = Shown(text_);
    state_.Changed();
}

void Edit::FocusField() {
    TakeFocus();
}

void Edit::TakeFocus() {
    state_.RequireUserInput("field");
    state_.RequestFocus();
    RaiseForUser(events_, state_.Name(),
                 [this](host::IEditEvents* s) { return s->GotFocus(this); });
}

void Edit::UserType(const std::string& text) {
    state_.RequireUserInput("field");
    if (!editable_)
        throw com::ComError(com::err::InvalidCall,
                            "The field " + state_.Name() + " is read-only and takes no typing");
    // What is typed is stored: text in another encoding would break every report of it.
    if (!txt::IsUtf8(text))
        throw com::ComError(com::err::TypeMismatch, "The field " + state_.Name() +
                                                        " takes UTF-8 text only: \"" +
                                                        txt::Printable(text) + "\"");
    if (numeric_ && !text.empty() && !txt::IsWholeNumber(text))
        throw com::ComError(com::err::TypeMismatch,
                            "The field " + state_.Name() + " takes only digits: \"" + text + "\"");
    SetText(text);
    if (edited_) edited_();
}

}  // namespace framework
