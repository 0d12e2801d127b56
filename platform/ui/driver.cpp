#include "platform/ui/headless.h"
#include "platform/ui/list_box.h"
#include "platform/ui/tree_view.h"

namespace ui {

namespace {

com::ComError NoSuchControl(IForm& form, const std::string& name) {
    return com::ComError(com::err::InvalidCall,
                         "The window " + form.Name() + " has no control named " + name);
}

com::ComError WrongKind(IControl& control, const char* what) {
    return com::ComError(com::err::TypeMismatch, "The control " + control.Name() + " (" +
                                                     control.Kind() + ") is not " + what);
}

// The control `name` of the window as the interface I; `what` names the kind for the error.
template <class I>
com::ComPtr<I> Find(IForm& form, const std::string& name, const char* what) {
    auto control = form.Control(name);
    if (!control) throw NoSuchControl(form, name);
    auto typed = control.template As<I>();
    if (!typed) throw WrongKind(*control, what);
    return typed;
}

}  // namespace

void Driver::ExpectQuestion(int32_t answer) {
    toolkit_.ExpectMessage(answer, HeadlessToolkit::TextMatch::Any, {});
}

void Driver::ExpectQuestion(int32_t answer, const std::string& exactText) {
    toolkit_.ExpectMessage(answer, HeadlessToolkit::TextMatch::Exact, exactText);
}

void Driver::ExpectQuestionContaining(int32_t answer, const std::string& part) {
    toolkit_.ExpectMessage(answer, HeadlessToolkit::TextMatch::Contains, part);
}

void Driver::Type(IForm& form, const std::string& control, const std::string& text) {
    Find<ITextInput>(form, control, "a text field")->UserType(text);
}

void Driver::Choose(IForm& form, const std::string& control, const com::Variant& value) {
    Find<IChoiceInput>(form, control, "a choice list")->UserChooseValue(value);
}

void Driver::Press(IForm& form, const std::string& navbar, const std::string& key) {
    Find<IButtonBar>(form, navbar, "a button bar")->UserPress(key);
}

void Driver::PressToolbar(IForm& form, const std::string& name, int16_t index) {
    com::ComPtr<IControl> named;
    bool anyButton = false;
    // Controls() is a copy: pressing may unload the window and release its controls.
    for (auto& control : form.Controls()) {
        if (!SameControlName(control->Name(), name)) continue;
        named = control;
        auto button = control.As<IPushButton>();
        anyButton = anyButton || button;
        if (button && button->ArrayIndex() == index) return button->UserPress();
    }
    if (!named) throw NoSuchControl(form, name);
    if (!anyButton) throw WrongKind(*named, "a toolbar");
    throw com::ComError(
        com::err::InvalidCall,
        "The toolbar " + name + " has no element with index " + std::to_string(index));
}

void Driver::SelectLine(IForm& form, const std::string& grid, int32_t line) {
    Find<ILineView>(form, grid, "a grid")->UserSelectLine(line);
}

void Driver::SelectNode(IForm& form, const std::string& tree, const std::string& key) {
    auto t = Find<ITreeView>(form, tree, "a tree");
    static_cast<TreeView*>(t.Get())->UserSelect(key);
}

void Driver::DoubleClickTree(IForm& form, const std::string& tree) {
    auto t = Find<ITreeView>(form, tree, "a tree");
    static_cast<TreeView*>(t.Get())->UserDoubleClick();
}

void Driver::SelectListEntry(IForm& form, const std::string& list, int32_t index) {
    auto l = Find<IListBox>(form, list, "a list");
    static_cast<ListBox*>(l.Get())->UserSelect(index);
}

void Driver::Activate(IForm& form) {
    toolkit_.SetActive(form);
    form.UserActivate();
}

void Driver::Close(IForm& form) {
    form.UserClose();
}

void Driver::Queue(std::function<void()> action) {
    toolkit_.QueueAction(std::move(action));
}

const RecordedMessage& Driver::TakeMessage() {
    if (taken_ >= toolkit_.Messages().size())
        throw com::ComError(com::err::InvalidCall, "No message box was shown after the " +
                                                       std::to_string(taken_) + " taken already");
    return toolkit_.Messages()[taken_++];
}

}  // namespace ui
