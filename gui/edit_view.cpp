// The data field: a line edit over the edit model.

#include <QFocusEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "framework/controls/edit.h"
#include "gui/control_views.h"
#include "gui/ui_text.h"

namespace gui {

namespace {

// Required fields are tinted; a field that takes no typing looks like the window behind it.
constexpr QRgb kRequiredBase = qRgb(255, 252, 220);

using LineEdit = FocusReporting<QLineEdit>;

class EditView : public ControlView {
  public:
    EditView(framework::Edit& model, const com::ComPtr<ui::IControl>& control, QWidget* parent)
        : ControlView(control, new LineEdit(parent)), model_(model) {
        auto* edit = static_cast<LineEdit*>(Widget());
        edit->setFocusPolicy(Qt::StrongFocus);
        QObject::connect(edit, &QLineEdit::textEdited, [this](const QString& text) {
            Act([&] { model_.UserType(Utf8(text)); });
        });
        edit->focused = [this] { UserFocused([&] { model_.UserFocus(); }); };
    }

  protected:
    void Show() override {
        auto* edit = static_cast<QLineEdit*>(Widget());
        const QString text = Qs(model_.DisplayText());
        if (edit->text() != text) {
            int cursor = edit->cursorPosition();
            edit->setText(text);
            edit->setCursorPosition(std::min<int>(cursor, static_cast<int>(text.size())));
        }
        edit->setMaxLength(model_.MaxChar() > 0 ? model_.MaxChar() : 32767);
        edit->setReadOnly(!model_.Editable());
        if (model_.Numeric() && !edit->validator())
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
        edit->setProperty("required", model_.Required());
        QPalette palette = edit->parentWidget()->palette();
        if (!model_.Editable())
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        else if (model_.Required())
            palette.setColor(QPalette::Base, QColor(kRequiredBase));
        edit->setPalette(palette);
        edit->setToolTip(Qs(model_.FieldCaption()));
    }

  private:
    framework::Edit& model_;
};

}  // namespace

std::unique_ptr<ControlView> MakeEditView(const com::ComPtr<ui::IControl>& control,
                                          QWidget* parent) {
    return MakeViewOf<framework::Edit, EditView>(control, parent);
}

}  // namespace gui
