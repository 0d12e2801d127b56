#include "gui/ui_text.h"

#include "framework/text_service.h"

namespace gui {

QString Qs(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

QString Tr(const std::string& italian) {
    return Qs(framework::Translated(italian));
}

QString CompanyTitle(const std::string& italian, int company) {
    return Tr(italian) + QStringLiteral(" - %1 %2").arg(Tr("Ditta")).arg(company);
}

}  // namespace gui
