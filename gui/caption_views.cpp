// Labels and group boxes: their captions only.

#include <QGroupBox>
#include <QLabel>

#include "gui/control_views.h"
#include "gui/ui_text.h"

namespace gui {

namespace {

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
        if constexpr (std::is_same_v<W, QLabel>)
            widget->setText(Qs(captioned_.DisplayCaption())), widget->setTextFormat(Qt::PlainText);
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
    return MakeCaptionView<QLabel>(control, parent);
}

std::unique_ptr<ControlView> MakeGroupBoxView(const com::ComPtr<ui::IControl>& control,
                                              QWidget* parent) {
    return MakeCaptionView<QGroupBox>(control, parent);
}

}  // namespace gui
