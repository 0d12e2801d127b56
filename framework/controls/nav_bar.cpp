#include "framework/controls/nav_bar.h"

#include "contracts/record_frame.h"

namespace framework {

NavBar::NavBar() {
    for (const char* key :
         {host::nav_key::New, host::nav_key::Confirm, host::nav_key::Undo, host::nav_key::Delete,
          host::nav_key::Next, host::nav_key::Previous, host::nav_key::Export})
        buttons_.emplace_back(key, true);
}

void NavBar::SetAutoMoves(bool last, bool previous, bool next) {
    autoLast_ = last;
    autoPrevious_ = previous;
    autoNext_ = next;
}

std::vector<std::string> NavBar::Keys() {
    std::vector<std::string> keys;
    for (const auto& b : buttons_) keys.push_back(b.first);
    return keys;
}

bool& NavBar::Slot(const std::string& key) {
    for (auto& b : buttons_)
        if (b.first == key) return b.second;
    throw com::ComError(com::err::InvalidCall,
                        "The navigation bar " + state_.Name() + " has no button \"" + key + "\"");
}

bool NavBar::KeyEnabled(const std::string& key) {
    return Slot(key);
}

void NavBar::SetKeyEnabled(const std::string& key, bool on) {
    Set(Slot(key), on);
}

void NavBar::UserPress(const std::string& key) {
    state_.RequireUserInput("navigation bar");
    if (!Slot(key))
        throw com::ComError(com::err::InvalidCall,
                            "The button \"" + key + "\" of " + state_.Name() + " is disabled");
    com::ComPtr<host::INavBar> keep(this);  // a handler may release the window's references
    bool ok = perform_ ? perform_(key) : true;
    if (ok) ok = AutoMove(key);
    const int32_t flag = ok ? host::kOperationSucceeded : host::kOperationFailed;
    RaiseForUser(events_, state_.Name(),
                 [&](host::INavBarEvents* s) { return s->ButtonAction(flag, key); });
}

bool NavBar::AutoMove(const std::string& key) {
    auto frame = com::QueryAs<host::IRecordFrame>(frame_.Get());
    if (!frame) return true;
    if (key == host::nav_key::Next && autoNext_) return frame->MoveNext(true, true);
    if (key == host::nav_key::Previous && autoPrevious_) return frame->MovePrevious(true, true);
    return true;
}

}  // namespace framework
