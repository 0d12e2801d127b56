#pragma once
// The host shell: a main window with an MDI area, the menu entry that opens the module, the
// host's own matrix window, the company selector, the navigator's buttons and a status bar with
// the database and company.

#include <QDialog>
#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <QTranslator>

#include "contracts/record_frame.h"
#include "framework/host_session.h"

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;

namespace gui {

class HistoryDialog;
class QtToolkit;

// The product's icon (from its SVG: the SVG plugins of Qt draw it), for the host's windows:
// without one, each window's title bar draws Qt's own, decoded anew for every window.
QIcon ProductIcon();

struct HostOptions {
    bool modal = false;  // the module's window is shown modal
};

// Qt's own texts (the message boxes' buttons, the edit fields' context menus) speak the session's
// language, from Qt's catalogue for it.
class HostWindow : public QMainWindow {
  public:
    HostWindow(framework::HostSession& session, HostOptions options);
    ~HostWindow() override;

    QMdiArea* Area() const { return area_; }
    // Takes the toolkit's news: windows gone, the busy sign, and a frame the user closes, after
    // the question about an edit pending.
    void Attach(QtToolkit& toolkit);
    // What the menu entry does: creates the module by its program identifier and shows its
    // window (or brings the open one forward). Failures are shown to the user.
    void OpenModule();
    // Opens the host's matrix window on the criteria window's current criterion (else the
    // company's first), or brings the open one forward, moved there.
    void OpenMatrix();
    // The user picked another company: the module decides (it may keep its window).
    void ChangeCompany(int32_t code);
    // Called by the toolkit when a window has gone: the module ends once its own window has.
    void WindowClosed();

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    // Before the host ends what the user works in (quit, another company, or only `window` when
    // its frame is closed): an edit pending in the module's window or the matrix window is saved,
    // dropped, or kept on screen with nothing else done, as the user answers. Whether to go on.
    bool EditSettled(ui::IForm* window = nullptr);
    bool Settled(ui::IForm* window, host::IRecordFrame& frame);
    void ShowBusy(bool busy);
    void ShowTransfer(const com::Variant& data);
    void BuildMenus();
    void BuildToolbar();
    int32_t ActiveCompanyCode() const;
    void ShowCompany();
    void UpdateActions();
    void OpenMediaLink();
    void Export();
    // The determination dialogs for the active company (one of each, brought forward when open).
    void OpenCheck();
    void OpenTrial();
    // The history, on the current criterion when the criteria window or the matrix window is
    // the one in front (an open history moves there; otherwise it keeps its filters).
    void OpenHistory();
    void CloseDialogs();

    framework::HostSession& session_;
    HostOptions options_;
    QMdiArea* area_ = nullptr;
    QComboBox* companies_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* transfer_ = nullptr;
    QAction* quit_ = nullptr;
    QTranslator qtTexts_;
    QAction* mediaLink_ = nullptr;
    QAction* export_ = nullptr;
    QAction* matrix_ = nullptr;
    QAction* history_ = nullptr;
    QPointer<QDialog> check_, trial_;
    QPointer<HistoryDialog> historyDialog_;
};

}  // namespace gui
