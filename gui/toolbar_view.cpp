// A one-button toolbar: a tool button with an arrow or the refresh icon.

#include <QApplication>
#include <QPointer>
#include <QStyle>
#include <QToolButton>
#include <optional>

#include "framework/controls/toolbar.h"
#include "gui/control_views.h"
#include "gui/ui_text.h"

namespace gui {

namespace {

// The style reads the picture's files each time it is asked: it is asked once, and the icon kept
// by an object of the application's, so that it goes with the application.
QIcon RefreshIcon(const QStyle& style) {
    struct Holder : QObject {
        using QObject::QObject;
        QIcon icon;
    };
    static QPointer<Holder> holder;
    if (!holder) {
        holder = new Holder(qApp);
        holder->icon = style.standardIcon(QStyle::SP_BrowserReload);
    }
    return holder->icon;
}

class ToolbarView : public ControlView {
  public:
    ToolbarView(framework::Toolbar& toolbar, const com::ComPtr<ui::IControl>& control,
                QWidget* parent)
        : ControlView(control, new QToolButton(parent)), toolbar_(toolbar) {
        auto* button = static_cast<QToolButton*>(Widget());
        button->setFocusPolicy(Qt::StrongFocus);
        // The elements of an array share their name; the index tells them apart.
        button->setProperty("arrayIndex", static_cast<int>(toolbar_.Index()));
        QObject::connect(button, &QToolButton::clicked,
                         [this] { Act([&] { toolbar_.UserPress(); }); });
    }

  protected:
    void Show() override {
        auto* button = static_cast<QToolButton*>(Widget());
        static const std::pair<const char*, Qt::ArrowType> arrows[] = {{"up", Qt::UpArrow},
                                                                       {"down", Qt::DownArrow},
                                                                       {"left", Qt::LeftArrow},
                                                                       {"right", Qt::RightArrow}};
        const std::string picture = toolbar_.Picture();
        if (picture == shown_) return;  // drawn when it changes, not at every redraw
        shown_ = picture;
        Qt::ArrowType arrowType = Qt::NoArrow;
        for (const auto& [name, arrow] : arrows)
            if (picture == name) arrowType = arrow;
        button->setArrowType(arrowType);
        button->setIcon(picture == "refresh" ? RefreshIcon(*button->style()) : QIcon());
        button->setAccessibleName(Qs(picture));
    }

  private:
    framework::Toolbar& toolbar_;
    std::optional<std::string> shown_;  // the picture on the button
};

}  // namespace

std::unique_ptr<ControlView> MakeToolbarView(const com::ComPtr<ui::IControl>& control,
                                             QWidget* parent) {
    return MakeViewOf<framework::Toolbar, ToolbarView>(control, parent);
}

}  // namespace gui
