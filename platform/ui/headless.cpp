#include "platform/ui/headless.h"

#include <algorithm>

namespace ui {

namespace {

// The answers a box with these buttons can give.
bool AnswerFits(int32_t flags, int32_t answer) {
    using namespace mb;
    switch (flags & Buttons) {
        case OkOnly:
            return answer == AnswerOk;
        case OkCancel:
            return answer == AnswerOk || answer == AnswerCancel;
        case AbortRetryIgnore:
            return answer == AnswerAbort || answer == AnswerRetry || answer == AnswerIgnore;
        case YesNoCancel:
            return answer == AnswerYes || answer == AnswerNo || answer == AnswerCancel;
        case YesNo:
            return answer == AnswerYes || answer == AnswerNo;
        case RetryCancel:
            return answer == AnswerRetry || answer == AnswerCancel;
        default:
            return false;
    }
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

HeadlessToolkit::~HeadlessToolkit() = default;

void HeadlessToolkit::ShowForm(IForm& form, bool modal) {
    com::ComPtr<IForm> keep(&form);
    if (std::none_of(open_.begin(), open_.end(), [&](const auto& f) { return f.Get() == &form; }))
        open_.push_back(keep);
    SetActive(form);
    form.UserActivate();
    if (modal) RunModalLoop(form);
}

void HeadlessToolkit::RunModalLoop(IForm& form) {
    while (form.Loaded()) {
        if (actions_.empty())
            throw com::ComError(com::err::InvalidCall, "The modal window " + form.Name() +
                                                           " is still open and no action is left");
        auto action = std::move(actions_.front());
        actions_.pop_front();
        action();
    }
}

void HeadlessToolkit::FormUnloaded(IForm& form) {
    auto it =
        std::find_if(open_.begin(), open_.end(), [&](const auto& f) { return f.Get() == &form; });
    com::ComPtr<IForm> keep;  // the caller is still inside the window's Unload
    if (it != open_.end()) {
        keep = *it;
        open_.erase(it);
    }
    // The most recently shown window left becomes the active one; it is not activated again
    // (a headless window gains the focus only through the driver). A window activated without
    // being shown is no longer active either: nothing holds it after its unload.
    if (active_ == &form) active_ = open_.empty() ? nullptr : open_.back().Get();
}

void HeadlessToolkit::SetActive(IForm& form) {
    // A window that is not loaded cannot become active: no unload would ever take it back.
    if (form.Loaded()) active_ = &form;
}

std::vector<IForm*> HeadlessToolkit::OpenForms() const {
    std::vector<IForm*> forms;
    for (const auto& f : open_) forms.push_back(f.Get());
    return forms;
}

void HeadlessToolkit::ExpectMessage(int32_t answer, TextMatch match, std::string text) {
    expected_.push_back({answer, match, std::move(text)});
}

void HeadlessToolkit::QueueAction(std::function<void()> action) {
    actions_.push_back(std::move(action));
}

int32_t HeadlessToolkit::MessageBox(const std::string& text, int32_t flags,
                                    const std::string& title) {
    messages_.push_back({text, flags, title, 0});
    auto fail = [&](const std::string& why) {
        return com::ComError(com::err::InvalidCall, "Message box " + Quoted(text) + ": " + why);
    };
    if (expected_.empty()) {
        if ((flags & mb::Buttons) == mb::OkOnly) return messages_.back().answer = mb::AnswerOk;
        if (standingAnswer_ && AnswerFits(flags, *standingAnswer_))
            return messages_.back().answer = *standingAnswer_;
        throw fail("a question that no expected answer was queued for");
    }
    Expectation e = std::move(expected_.front());
    expected_.pop_front();
    bool matches = e.match == TextMatch::Any || (e.match == TextMatch::Exact && text == e.text) ||
                   (e.match == TextMatch::Contains && text.find(e.text) != std::string::npos);
    if (!matches)
        throw fail(std::string("expected a message ") +
                   (e.match == TextMatch::Exact ? "reading " : "containing ") + Quoted(e.text));
    if (!AnswerFits(flags, e.answer))
        throw fail("the expected answer " + std::to_string(e.answer) +
                   " is not one of its buttons (flags " + std::to_string(flags) + ")");
    return messages_.back().answer = e.answer;
}

}  // namespace ui
