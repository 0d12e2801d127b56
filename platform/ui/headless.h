#pragma once
// The toolkit with no views (tests and automation) and the driver that plays the user on it.

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/toolkit.h"

namespace ui {

// One message box as it was asked and answered (answer 0 when it failed).
struct RecordedMessage {
    std::string text;
    int32_t flags = 0;
    std::string title;
    int32_t answer = 0;
};

class HeadlessToolkit : public Toolkit {
  public:
    // How an expected message box must read.
    enum class TextMatch { Any, Exact, Contains };

    HeadlessToolkit() = default;
    HeadlessToolkit(const HeadlessToolkit&) = delete;
    HeadlessToolkit& operator=(const HeadlessToolkit&) = delete;
    ~HeadlessToolkit() override;

    // Modeless: the window becomes the active one and is activated. Modal: the same, then the
    // queued actions run one by one until the window has unloaded; with none left while it is
    // still open, error 5 (a test never hangs).
    void ShowForm(IForm& form, bool modal) override;
    void FormUnloaded(IForm& form) override;
    // Answers from the expectations queue, in order. Without one, a notice (OK button only)
    // answers OK and a question fails with an error quoting it. Every call is recorded.
    int32_t MessageBox(const std::string& text, int32_t flags, const std::string& title) override;
    void Beep() override { ++beeps_; }

    void ExpectMessage(int32_t answer, TextMatch match, std::string text);
    // The answer to every question asked while no expectation is queued (none: such a question
    // fails). For a user who answers a question the same way whenever it comes, when whether it
    // comes at all depends on what happened before it.
    void AnswerQuestions(std::optional<int32_t> answer) { standingAnswer_ = answer; }
    void QueueAction(std::function<void()> action);
    // The window that receives the driver's actions next; activating makes a window the active one.
    void SetActive(IForm& form);

    const std::vector<RecordedMessage>& Messages() const { return messages_; }
    int Beeps() const { return beeps_; }
    size_t PendingExpectations() const { return expected_.size(); }
    size_t PendingActions() const { return actions_.size(); }
    // Shown windows not yet unloaded, in the order they were first shown.
    std::vector<IForm*> OpenForms() const;
    IForm* ActiveForm() const override { return active_; }

  private:
    struct Expectation {
        int32_t answer;
        TextMatch match;
        std::string text;
    };
    void RunModalLoop(IForm& form);

    std::vector<RecordedMessage> messages_;
    std::deque<Expectation> expected_;
    std::optional<int32_t> standingAnswer_;
    std::deque<std::function<void()>> actions_;
    std::vector<com::ComPtr<IForm>> open_;  // the toolkit keeps shown windows alive
    IForm* active_ = nullptr;
    int beeps_ = 0;
};

// The user's side: acts on the windows of a headless toolkit through the controls' user
// operations, finding controls by name. Unknown names and controls of the wrong kind are errors
// naming the control.
class Driver {
  public:
    explicit Driver(HeadlessToolkit& toolkit) : toolkit_(toolkit) {}

    // Answers for the next message boxes, in order: any text, exactly this text, a text that
    // contains this part.
    void ExpectQuestion(int32_t answer);
    void ExpectQuestion(int32_t answer, const std::string& exactText);
    void ExpectQuestionContaining(int32_t answer, const std::string& part);

    void Type(IForm& form, const std::string& control, const std::string& text);
    void Choose(IForm& form, const std::string& control, const com::Variant& value);
    void Press(IForm& form, const std::string& navbar, const std::string& key);
    // Presses the element of the toolbar array `name` whose array index is `index`.
    void PressToolbar(IForm& form, const std::string& name, int16_t index);
    void SelectLine(IForm& form, const std::string& grid, int32_t line);
    void SelectNode(IForm& form, const std::string& tree, const std::string& key);
    void DoubleClickTree(IForm& form, const std::string& tree);
    void SelectListEntry(IForm& form, const std::string& list, int32_t index);
    void Activate(IForm& form);
    void Close(IForm& form);
    // An action for the next modal loop.
    void Queue(std::function<void()> action);

    const std::vector<RecordedMessage>& Messages() const { return toolkit_.Messages(); }
    // The first message not taken yet (then the next one, and so on); error when none is left.
    const RecordedMessage& TakeMessage();
    size_t UntakenMessages() const { return toolkit_.Messages().size() - taken_; }
    int Beeps() const { return toolkit_.Beeps(); }
    HeadlessToolkit& Headless() { return toolkit_; }

  private:
    HeadlessToolkit& toolkit_;
    size_t taken_ = 0;
};

}  // namespace ui
