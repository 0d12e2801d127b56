#pragma once
// The toolkit a program runs its windows with: headless (models and a driver) or Qt.
// One per process, set by the host before any window is shown.

#include <string>

#include "platform/ui/form.h"

namespace ui {

// Message box flags, the sum of a button set, an icon and a default button; and the answers.
namespace mb {
inline constexpr int32_t OkOnly = 0;
inline constexpr int32_t OkCancel = 1;
inline constexpr int32_t AbortRetryIgnore = 2;
inline constexpr int32_t YesNoCancel = 3;
inline constexpr int32_t YesNo = 4;
inline constexpr int32_t RetryCancel = 5;
inline constexpr int32_t Buttons = 7;  // the part of the flags that picks the button set
inline constexpr int32_t Critical = 16;
inline constexpr int32_t Question = 32;
inline constexpr int32_t Exclamation = 48;
inline constexpr int32_t Information = 64;
inline constexpr int32_t Icons = 0x70;
inline constexpr int32_t DefaultButton2 = 256;
inline constexpr int32_t DefaultButtons = 0x300;
inline constexpr int32_t AnswerOk = 1;
inline constexpr int32_t AnswerCancel = 2;
inline constexpr int32_t AnswerAbort = 3;
inline constexpr int32_t AnswerRetry = 4;
inline constexpr int32_t AnswerIgnore = 5;
inline constexpr int32_t AnswerYes = 6;
inline constexpr int32_t AnswerNo = 7;
}  // namespace mb

class Toolkit {
  public:
    virtual ~Toolkit() = default;

    // The process's toolkit; a headless one is installed when none was set.
    static Toolkit& Current();
    static void SetCurrent(Toolkit* toolkit);

    // Shows a loaded window and activates it. Modal: returns after the window has unloaded
    // (headless: runs queued driver actions; fails instead of hanging when none are left).
    virtual void ShowForm(IForm& form, bool modal) = 0;
    // The window has unloaded (views go away, a modal loop ends).
    virtual void FormUnloaded(IForm& form) = 0;
    // Caption, window state or geometry of a window changed.
    virtual void FormChanged(IForm&) {}
    // A control of a shown window asked for the input focus (its name is FocusedControl()).
    virtual void FocusRequested(IForm&) {}
    // A loaded window added or removed controls (a window whose fields follow its data): a view
    // made of the old ones is made again from Controls().
    virtual void FormControlsChanged(IForm&) {}

    // The window that was activated last and has not unloaded since (nullptr when none).
    virtual IForm* ActiveForm() const = 0;

    // The platform message box: returns the answer (mb::AnswerOk, AnswerYes, AnswerNo).
    virtual int32_t MessageBox(const std::string& text, int32_t flags,
                               const std::string& title) = 0;
    // The system beep.
    virtual void Beep() = 0;

    // A write to the database is under way and may wait for another user's lock: the user is
    // shown that the program waits, until the outermost BusyScope ends.
    void BeginBusy();
    void EndBusy();

  protected:
    // The sign is shown (true) or taken away (false); nothing by default (headless).
    virtual void ShowBusy(bool) {}

  private:
    int busy_ = 0;
};

// The busy sign for as long as it exists, on the toolkit current when it began.
class BusyScope {
  public:
    BusyScope() : toolkit_(Toolkit::Current()) { toolkit_.BeginBusy(); }
    ~BusyScope() { toolkit_.EndBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    Toolkit& toolkit_;
};

// Installs a toolkit for as long as it exists, then puts the previous one back (tests, tools).
class ScopedToolkit {
  public:
    explicit ScopedToolkit(Toolkit& toolkit);
    ~ScopedToolkit();
    ScopedToolkit(const ScopedToolkit&) = delete;
    ScopedToolkit& operator=(const ScopedToolkit&) = delete;

  private:
    Toolkit* previous_;
};

// Shorthands for module code.
int32_t MessageBox(const std::string& text, int32_t flags, const std::string& title);
void Beep();

}  // namespace ui
