// The navigation bar: one button per key, enabled as the record frame says, each with its
// shortcut (shown in its tooltip), and the mark of pending changes.

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include "framework/controls/nav_bar.h"
#include "gui/control_views.h"
#include "gui/ui_text.h"

namespace gui {

namespace {

// The shortcuts avoid the keys a line edit keeps for itself (Ctrl+Z, Ctrl+Del, ...).
QKeySequence ShortcutOf(const std::string& key) {
    namespace k = host::nav_key;
    static const std::pair<const char*, QKeySequence> shortcuts[] = {
        {k::New, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {k::Confirm, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {k::Undo, QKeySequence(Qt::Key_Escape)},
        {k::Delete, QKeySequence(Qt::CTRL | Qt::Key_D)},
        {k::Next, QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        {k::Previous, QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
        {k::Export, QKeySequence(Qt::CTRL | Qt::Key_E)},
    };
    for (const auto& [name, sequence] : shortcuts)
        if (key == name) return sequence;
    return {};
}

class NavBarView : public ControlView {
  public:
    NavBarView(framework::NavBar& bar, const com::ComPtr<ui::IControl>& control, QWidget* parent)
        : ControlView(control, new QWidget(parent)), bar_(bar) {
        auto* layout = new QHBoxLayout(Widget());
        layout->setContentsMargins(4, 2, 4, 2);
        layout->setSpacing(2);
        for (const auto& key : bar_.Keys()) {
            auto* action = new QAction(Tr(key), parent);
            action->setObjectName(Qs(key));
            action->setShortcut(ShortcutOf(key));
            // Each window's keys act on that window only.
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            action->setToolTip(QStringLiteral("%1 (%2)").arg(
                Tr(key), action->shortcut().toString(QKeySequence::NativeText)));
            parent->addAction(action);
            QObject::connect(action, &QAction::triggered, [this, key] {
                // A shortcut reaches a disabled button's action too: the bar decides.
                Act([&] { bar_.UserPress(key); });
            });
            auto* button = new QToolButton(Widget());
            button->setDefaultAction(action);
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
            button->setAutoRaise(true);
            button->setFocusPolicy(Qt::NoFocus);
            layout->addWidget(button);
            buttons_.push_back({key, action, button});
        }
        layout->addStretch(1);
        pending_ = new QLabel(Tr("Modifiche non salvate"), Widget());
        pending_->setObjectName("changesPending");
        layout->addWidget(pending_);
    }

    bool TakesFocus() const override { return false; }

  protected:
    void Show() override {
        for (auto& b : buttons_) {
            b.action->setEnabled(bar_.Enabled() && bar_.KeyEnabled(b.key));
            QFont font = b.button->font();
            font.setBold(b.key == host::nav_key::Confirm && bar_.ChangesPending());
            b.button->setFont(font);
        }
        pending_->setVisible(bar_.ChangesPending());
        Widget()->setProperty("changesPending", bar_.ChangesPending());
    }

  private:
    struct Button {
        std::string key;
        QAction* action;
        QToolButton* button;
    };
    framework::NavBar& bar_;
    std::vector<Button> buttons_;
    QLabel* pending_ = nullptr;
};

}  // namespace

std::unique_ptr<ControlView> MakeNavBarView(const com::ComPtr<ui::IControl>& control,
                                            QWidget* parent) {
    return MakeViewOf<framework::NavBar, NavBarView>(control, parent);
}

}  // namespace gui
