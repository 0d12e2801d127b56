#include "framework/frame/field_checks.h"

#include "framework/text_service.h"
#include "platform/text/text.h"
#include "platform/text/utf8.h"

namespace framework {

std::optional<std::string> FieldProblem(const std::string& text, const FieldRules& rules) {
    if (txt::IsBlank(text)) {
        if (rules.required) return Translated("Campo obbligatorio: %1", {rules.caption});
        return std::nullopt;
    }
    if (rules.maxChar > 0 && txt::CharCount(text) > static_cast<size_t>(rules.maxChar))
        return Translated("Il campo %1 ammette al massimo %2 caratteri",
                          {rules.caption, std::to_string(rules.maxChar)});
    // Blanks around a number are the conversion's to take off.
    if (rules.numeric && !txt::IsWholeNumber(txt::Trim(text)))
        return Translated("Il campo %1 deve contenere un numero intero", {rules.caption});
    return std::nullopt;
}

}  // namespace framework
