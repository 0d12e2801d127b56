#include "gui/form_view.h"

#include <QApplication>
#include <QLabel>
#include <algorithm>

#include "framework/controls/mdi_host.h"
#include "framework/controls/resize.h"
#include "gui/twips.h"
#include "gui/ui_text.h"

namespace gui {

namespace {

template <class T>
T* FindModel(ui::IForm& form) {
    for (auto& c : form.Controls())
        if (auto* model = dynamic_cast<T*>(c.Get())) return model;
    return nullptr;
}

bool SameLine(const ui::Rect& a, const ui::Rect& b) {
    return a.top < b.top + b.height && b.top < a.top + a.height;
}

}  // namespace

FormView::FormView(ui::IForm& form, QWidget* parent) : QWidget(parent), form_(&form) {
    setObjectName(Qs(form.Name()));
    // Twips layouts were drawn for a narrow 8-point interface font; a wider one would not fit.
    QFont small = font();
    small.setFamilies({"Liberation Sans", small.family()});
    small.setPointSizeF(8);
    setFont(small);
    MakeViews();
    setMinimumSize(Pixels(form.Geometry().width), Pixels(form.Geometry().height));
    Place();
    ApplyForm();
}

FormView::~FormView() = default;

void FormView::MakeViews() {
    for (auto& control : form_->Controls())
        if (auto view = MakeView(control, this)) views_.push_back(std::move(view));
    // Frames go behind what they frame.
    for (auto& v : views_)
        if (v->Control().Kind() == "groupbox") v->Widget()->lower();
    TieLabels();
    OrderTabs();
    for (auto& v : views_) v->Refresh();
}

namespace {

// Views taken out of a window, deleted once the event loop is back: the user's action that
// remade the window (a choice in one of its combos) may still be running in one of them.
class RetiredViews : public QObject {
  public:
    std::vector<std::unique_ptr<ControlView>> views;
};

}  // namespace

void FormView::RemakeViews() {
    // The new widget of the same name takes the focus before the old one goes, so that no other
    // widget takes it meanwhile and tells the window it was focused. (The window does not always
    // know the user's focus: a combo box reached with Tab does not tell it.)
    QString focused;
    for (auto& v : views_)
        if (v->Widget() && v->Widget()->isAncestorOf(QApplication::focusWidget()))
            focused = v->Widget()->objectName();
    auto* retired = new RetiredViews;
    retired->views = std::move(views_);
    views_.clear();
    // The old navigation bar's shortcuts would make the new one's ambiguous.
    for (auto* action : actions()) {
        removeAction(action);
        action->deleteLater();
    }
    MakeViews();
    Place();
    bool refocused = false;
    for (auto& v : views_) {
        if (focused.isEmpty() || v->Widget()->objectName() != focused || !v->TakesFocus()) continue;
        v->TakeModelFocus();
        refocused = true;
        break;
    }
    if (!refocused) ApplyFocus();
    for (auto& v : retired->views) {
        if (!v->Widget()) continue;
        v->Widget()->hide();
        v->Widget()->deleteLater();
    }
    retired->deleteLater();
}

QSize FormView::DesignSize() const {
    if (auto* container = FindModel<framework::MdiHost>(*form_)) {
        const auto& p = container->WindowPlacement();
        if (p.width > 0 && p.height > 0) return {p.width, p.height};
    }
    return {form_->Geometry().width, form_->Geometry().height};
}

QSize FormView::sizeHint() const {
    QSize twips = DesignSize();
    return {Pixels(twips.width()), Pixels(twips.height())};
}

// A label names the field on its right on the same line, or else the one just below it.
void FormView::TieLabels() {
    for (auto& label : views_) {
        auto* widget = qobject_cast<QLabel*>(label->Widget());
        if (!widget) continue;
        const ui::Rect l = label->Control().Geometry();
        ControlView* best = nullptr;
        int bestDistance = 0;
        for (auto& field : views_) {
            if (!field->TakesFocus()) continue;
            const ui::Rect f = field->Control().Geometry();
            int distance = -1;
            if (SameLine(l, f) && f.left >= l.left + l.width / 2)
                distance = f.left - (l.left + l.width);
            else if (f.top >= l.top + l.height && f.left < l.left + l.width &&
                     l.left < f.left + f.width)
                distance = 2 * (f.top - (l.top + l.height));  // a line below counts double
            if (distance >= -l.width / 2 && (!best || distance < bestDistance)) {
                best = field.get();
                bestDistance = distance;
            }
        }
        if (!best) continue;
        widget->setBuddy(best->Widget());
        best->Widget()->setAccessibleName(widget->text());
    }
}

// Tab goes through the fields as they are laid out: line by line, each from left to right. A
// line starts at the highest control not placed yet and takes every control that begins above
// that control's bottom.
void FormView::OrderTabs() {
    std::vector<ControlView*> rest;
    for (auto& v : views_)
        if (v->TakesFocus()) rest.push_back(v.get());
    auto top = [](ControlView* v) { return v->Control().Geometry().top; };
    auto left = [](ControlView* v) { return v->Control().Geometry().left; };
    std::stable_sort(rest.begin(), rest.end(),
                     [&](ControlView* a, ControlView* b) { return top(a) < top(b); });
    std::vector<ControlView*> order;
    for (size_t first = 0; first < rest.size();) {
        const ui::Rect head = rest[first]->Control().Geometry();
        size_t end = first;
        while (end < rest.size() && top(rest[end]) < head.top + head.height) ++end;
        std::stable_sort(rest.begin() + static_cast<std::ptrdiff_t>(first),
                         rest.begin() + static_cast<std::ptrdiff_t>(end),
                         [&](ControlView* a, ControlView* b) { return left(a) < left(b); });
        order.insert(order.end(), rest.begin() + static_cast<std::ptrdiff_t>(first),
                     rest.begin() + static_cast<std::ptrdiff_t>(end));
        first = end;
    }
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->Widget(), order[i]->Widget());
}

bool FormView::FollowsSize() const {
    auto* resize = FindModel<framework::Resize>(*form_);
    return resize && resize->Started();
}

// At the design size every control sits where the design puts it. Once the window's resize
// control has started, a larger window stretches the layout in proportion.
void FormView::Place() {
    const QSize design(Pixels(form_->Geometry().width), Pixels(form_->Geometry().height));
    double sx = 1, sy = 1;
    if (FollowsSize() && design.width() > 0 && design.height() > 0) {
        sx = std::max(1.0, static_cast<double>(width()) / design.width());
        sy = std::max(1.0, static_cast<double>(height()) / design.height());
    }
    for (auto& v : views_) {
        QRect r = Pixels(v->Control().Geometry());
        // Single-line controls keep their height; they only move down.
        const bool oneLine = v->Control().Geometry().height <= 420;
        v->Widget()->setGeometry(static_cast<int>(r.left() * sx), static_cast<int>(r.top() * sy),
                                 static_cast<int>(r.width() * sx),
                                 oneLine ? r.height() : static_cast<int>(r.height() * sy));
    }
}

void FormView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Place();
}

void FormView::ApplyForm() {
    setWindowTitle(Tr(form_->Caption()));
}

void FormView::ApplyFocus() {
    const std::string focused = form_->FocusedControl();
    if (focused.empty()) return;
    for (auto& v : views_) {
        if (!ui::SameControlName(v->Control().Name(), focused)) continue;
        if (!v->Widget()->hasFocus()) v->TakeModelFocus();
        return;
    }
}

}  // namespace gui
