// The data field: a line edit over the edit model.

#include <QFocusEvent>
#include <QLineEdit>
#include <QValidator>

#include <algorithm>

#include "framework/controls/edit.h"
#include "gui/control_views.h"
#include "gui/ui_text.h"

namespace gui {

namespace {

// Required fields are tinted; a field that takes no typing looks like the window behind it.
constexpr QRgb kRequiredBase = qRgb(255, 252, 220);

using LineEdit = FocusReporting<QLineEdit>;

// What a field takes as the user types: digits only in a numeric field, and no more characters
// than its width. Characters are code points, as the columns count them: QLineEdit's maximum
// length counts UTF-16 units, and would take half as many characters from outside the Basic
// Multilingual Plane (emoji) as the column holds.
class FieldValidator : public QValidator {
  public:
    FieldValidator(framework::Edit& model, QObject* parent) : QValidator(parent), model_(model) {}

    State validate(QString& input, int&) const override {
        if (model_.Numeric() && !std::all_of(input.begin(), input.end(), [](QChar c) {
                return c.isDigit() && c.unicode() < 128;
            }))
            return Invalid;
        if (model_.MaxChar() > 0 && input.toUcs4().size() > model_.MaxChar()) return Invalid;
        return Acceptable;
    }

  private:
    framework::Edit& model_;
};

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
        edit->setReadOnly(!model_.Editable());
        if (!edit->validator()) edit->setValidator(new FieldValidator(model_, edit));
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
