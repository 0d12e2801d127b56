#include "framework/frame/field_checks.h"

#include "framework/controls/text_rules.h"

namespace framework {

std::optional<std::string> FieldProblem(const std::string& text, const FieldRules& rules) {
    if (IsBlank(text)) {
        if (rules.required) return "Campo obbligatorio: " + rules.caption;
        return std::nullopt;
    }
    if (rules.maxChar > 0 && CharCount(text) > static_cast<size_t>(rules.maxChar))
        return "Il campo " + rules.caption + " ammette al massimo " +
               std::to_string(rules.maxChar) + " caratteri";
    if (rules.numeric && !IsWholeNumberText(text))
        return "Il campo " + rules.caption + " deve contenere un numero intero";
    return std::nullopt;
}

}  // namespace framework
