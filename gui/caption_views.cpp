// Labels and group boxes: their captions only.

#include <QGroupBox>
#include <QLabel>

#include "gui/control_views.h"
#include "gui/ui_text.h"

namespace gui {

namespace {

// A caption that never cuts its text: where the text is wider than the box the layout gives it
// (a font wider than the one the layout was drawn for), it is drawn smaller until it fits.
class FittedLabel : public QLabel {
  public:
    using QLabel::QLabel;

    void SetCaption(const QString& text) {
        setText(text);
        Fit();
    }

  protected:
    void resizeEvent(QResizeEvent* e) override {
        QLabel::resizeEvent(e);
        Fit();
    }
    void changeEvent(QEvent* e) override {
        QLabel::changeEvent(e);
        if (e->type() == QEvent::FontChange && !fitting_) Fit();
    }

  private:
    static constexpr double kSmallest = 5;  // points

    // Only the size is the label's own: the family and the rest follow the window's font.
    void Fit() {
        fitting_ = true;
        setFont(QFont());
        QFont fitted = font();
        const int room = contentsRect().width();
        while (QFontMetrics(fitted).horizontalAdvance(text()) > room &&
               fitted.pointSizeF() - 0.5 >= kSmallest)
            fitted.setPointSizeF(fitted.pointSizeF() - 0.5);
        if (fitted.pointSizeF() != font().pointSizeF()) {
            QFont size;
            size.setPointSizeF(fitted.pointSizeF());
            setFont(size);
        }
        fitting_ = false;
    }

    bool fitting_ = false;
};

template <class W>
class CaptionView : public ControlView {
  public:
    CaptionView(ui::ICaptioned& captioned, const com::ComPtr<ui::IControl>& control,
                QWidget* parent)
        : ControlView(control, new W(parent)), captioned_(captioned) {}

    bool TakesFocus() const override { return false; }

  protected:
    void Show() override {
        auto* widget = static_cast<W*>(this->Widget());
        if constexpr (std::is_same_v<W, FittedLabel>)
            widget->setTextFormat(Qt::PlainText),
                widget->SetCaption(Qs(captioned_.DisplayCaption()));
        else
            widget->setTitle(Qs(captioned_.DisplayCaption()));
    }

  private:
    ui::ICaptioned& captioned_;
};

template <class W>
std::unique_ptr<ControlView> MakeCaptionView(const com::ComPtr<ui::IControl>& control,
                                             QWidget* parent) {
    auto captioned = control.As<ui::ICaptioned>();
    if (!captioned) return nullptr;
    return std::make_unique<CaptionView<W>>(*captioned, control, parent);
}

}  // namespace

std::unique_ptr<ControlView> MakeLabelView(const com::ComPtr<ui::IControl>& control,
                                           QWidget* parent) {
    return MakeCaptionView<FittedLabel>(control, parent);
}

std::unique_ptr<ControlView> MakeGroupBoxView(const com::ComPtr<ui::IControl>& control,
                                              QWidget* parent) {
    return MakeCaptionView<QGroupBox>(control, parent);
}

}  // namespace gui
