#include "determination/report.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "platform/com/placeholders.h"
#include "window/posting_types.h"

namespace determination {

namespace {

// The translated template with %1, %2, ... replaced by `args`.
std::string Format(const Translate& translate, const std::string& italian,
                   const std::vector<std::string>& args = {}) {
    return com::FillPlaceholders(translate(italian), args);
}

const char* OutcomeName(Step::Outcome outcome) {
    switch (outcome) {
        case Step::Outcome::Answered:
            return "answered";
        case Step::Outcome::NoRow:
            return "no-row";
        case Step::Outcome::MissingValue:
            return "missing-value";
    }
    return "";
}

const char* KindName(Finding::Kind kind) {
    switch (kind) {
        case Finding::Kind::UnreachableRow:
            return "unreachable-row";
        case Finding::Kind::NoRows:
            return "no-rows";
        case Finding::Kind::SameStructure:
            return "same-structure";
        case Finding::Kind::OrphanRow:
            return "orphan-row";
        case Finding::Kind::PriorityNotDense:
            return "priority-not-dense";
    }
    return "";
}

nlohmann::json CriterionJson(const Criterion& c) {
    nlohmann::json structure = nlohmann::json::array();
    for (const auto& code : c.structure) structure.push_back(code);
    return {{"id", c.id},
            {"company", c.company},
            {"type", c.type},
            {"priority", c.priority ? nlohmann::json(*c.priority) : nlohmann::json()},
            {"description", c.description},
            {"structure", structure}};
}

}  // namespace

std::string PriorityText(const Criterion& c) {
    return c.priority ? std::to_string(*c.priority) : "-";
}

std::string TypeLabel(int32_t type, const Translate& translate) {
    const auto* t = dravel::FindPostingType(type);
    return t ? translate(t->label) : std::to_string(type);
}

std::vector<std::string> AttributesUsed(const std::vector<Criterion>& criteria) {
    std::vector<std::string> codes;
    for (const auto& c : criteria)
        for (const auto& code : c.structure)
            if (std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
    return codes;
}

std::string WalkHeading(const Walk& walk, const Translate& translate) {
    std::string values;
    for (const auto& [code, value] : walk.values)
        values += (values.empty() ? "" : " ") + code + "=" + value;
    return Format(translate, "Ditta %1, tipo %2 (%3), valori: %4",
                  {std::to_string(walk.company), std::to_string(walk.type),
                   TypeLabel(walk.type, translate), values});
}

std::string LookedForText(const Step& step) {
    std::string text;
    for (const auto& [code, value] : step.lookedFor)
        text += (text.empty() ? "" : " ") + code + "=" + value.value_or("?");
    return text;
}

std::string OutcomeText(const Step& step, const Translate& translate) {
    switch (step.outcome) {
        case Step::Outcome::Answered:
            return step.account && !step.account->empty()
                       ? Format(translate, "risponde: conto %1", {*step.account})
                       : translate("risponde, ma la riga non ha un conto");
        case Step::Outcome::NoRow:
            return translate("nessuna riga con questi valori");
        case Step::Outcome::MissingValue: {
            std::string missing;
            for (const auto& [code, value] : step.lookedFor)
                if (!value) missing += (missing.empty() ? "" : ", ") + code;
            return Format(translate, "manca il valore di %1", {missing});
        }
    }
    return {};
}

std::string StepText(const Step& step, const Translate& translate) {
    return PriorityText(step.criterion) + ". " + step.criterion.description + " [" +
           LookedForText(step) + "]: " + OutcomeText(step, translate);
}

std::string WalkResult(const Walk& walk, const Translate& translate) {
    const Step* answer = walk.Answer();
    if (auto account = walk.Account())
        return Format(
            translate, "Contropartita %1, dal criterio %2",
            {*account, PriorityText(answer->criterion) + ". " + answer->criterion.description});
    return translate("Nessuna contropartita");
}

std::string WalkText(const Walk& walk, const Translate& translate) {
    std::string text = WalkHeading(walk, translate) + "\n";
    for (const auto& step : walk.steps) text += "  " + StepText(step, translate) + "\n";
    return text + WalkResult(walk, translate) + "\n";
}

nlohmann::json WalkJson(const Walk& walk) {
    nlohmann::json steps = nlohmann::json::array();
    for (const auto& step : walk.steps) {
        nlohmann::json lookedFor = nlohmann::json::array();
        for (const auto& [code, value] : step.lookedFor)
            lookedFor.push_back(
                {{"code", code}, {"value", value ? nlohmann::json(*value) : nlohmann::json()}});
        steps.push_back(
            {{"criterion", CriterionJson(step.criterion)},
             {"lookedFor", lookedFor},
             {"outcome", OutcomeName(step.outcome)},
             {"account", step.account ? nlohmann::json(*step.account) : nlohmann::json()}});
    }
    const Step* answer = walk.Answer();
    auto account = walk.Account();
    return {{"company", walk.company},
            {"type", walk.type},
            {"values", walk.values},
            {"steps", steps},
            {"account", account ? nlohmann::json(*account) : nlohmann::json()},
            {"criterion", answer ? CriterionJson(answer->criterion) : nlohmann::json()}};
}

std::string CriterionLabel(const Criterion& c, const Translate& translate) {
    return TypeLabel(c.type, translate) + ", " + PriorityText(c) + ". " + c.description;
}

std::string FindingText(const Finding& f, const Translate& translate) {
    switch (f.kind) {
        case Finding::Kind::UnreachableRow:
            return Format(
                translate, "la riga %1 della matrice non è mai raggiunta: risponde prima %2",
                {std::to_string(f.row), PriorityText(*f.earlier) + ". " + f.earlier->description});
        case Finding::Kind::NoRows:
            return translate("nessuna riga nella matrice: non risponde mai");
        case Finding::Kind::SameStructure:
            return Format(translate, "stessa struttura di %1",
                          {PriorityText(*f.earlier) + ". " + f.earlier->description});
        case Finding::Kind::OrphanRow:
            if (!f.criterion)
                return Format(translate,
                              "la riga %1 della matrice è del criterio %2, che non esiste più",
                              {std::to_string(f.row), std::to_string(f.rowCriterion)});
            return Format(translate, "la riga %1 della matrice è di un criterio della ditta %2",
                          {std::to_string(f.row), std::to_string(f.criterion->company)});
        case Finding::Kind::PriorityNotDense:
            return Format(translate, "è provato al posto %1 ma ha priorità %2",
                          {std::to_string(f.expectedPriority), PriorityText(*f.criterion)});
    }
    return {};
}

std::string FindingsText(const std::vector<Finding>& findings, const Translate& translate) {
    if (findings.empty()) return translate("Nessun problema trovato") + "\n";
    std::string text;
    for (const auto& f : findings)
        text += (f.criterion ? CriterionLabel(*f.criterion, translate) + ": " : std::string()) +
                FindingText(f, translate) + "\n";
    return text;
}

nlohmann::json FindingsJson(int32_t company, const std::vector<Finding>& findings) {
    nlohmann::json list = nlohmann::json::array();
    for (const auto& f : findings) {
        nlohmann::json item{{"kind", KindName(f.kind)}};
        if (f.criterion) item["criterion"] = CriterionJson(*f.criterion);
        if (f.earlier) item["earlier"] = CriterionJson(*f.earlier);
        if (f.row) item["row"] = f.row;
        if (f.rowCriterion) item["rowCriterion"] = f.rowCriterion;
        if (f.expectedPriority) item["expectedPriority"] = f.expectedPriority;
        list.push_back(std::move(item));
    }
    return {{"company", company}, {"findings", list}};
}

}  // namespace determination
