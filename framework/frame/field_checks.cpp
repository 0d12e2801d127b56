#include "framework/frame/field_checks.h"

#include "framework/controls/text_rules.h"
#include "framework/text_service.h"

namespace framework {

std::optional<std::string> FieldProblem(const std::string& text, const FieldRules& rules) {
    if (IsBlank(text)) {
        if (rules.required) return Translated("Campo obbligatorio: %1", {rules.caption});
        return std::nullopt;
    }
    if (rules.maxChar > 0 && CharCount(text) > static_cast<size_t>(rules.maxChar))
        return Translated("Il campo %1 ammette al massimo %2 caratteri",
                          {rules.caption, std::to_string(rules.maxChar)});
    if (rules.numeric && !IsWholeNumberText(text))
        return Translated("Il campo %1 deve contenere un numero intero", {rules.caption});
    return std::nullopt;
}

}  // namespace framework
