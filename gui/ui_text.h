#pragma once
// Texts of the views and the shell in the user's language, through the host's text service.

#include <QString>
#include <string>

namespace gui {

QString Qs(const std::string& utf8);
std::string Utf8(const QString& text);
// The text in the language of the current text service (unchanged without one).
QString Tr(const std::string& italian);
// A company's dialog title: "Verifica - Ditta 1", in the user's language.
QString CompanyTitle(const std::string& italian, int company);

}  // namespace gui
