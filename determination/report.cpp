#include "determination/report.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "determination/matrix.h"
#include "platform/com/placeholders.h"
#include "platform/text/text.h"
#include "platform/text/utf8.h"
#include "window/posting_types.h"

namespace determination {

namespace {

// A text or value the database or the user gave, as a line quotes it.
std::string Quoted(const std::string& text) {
    return txt::Printable(text);
}

// The same in a JSON document, which holds UTF-8 only (the library escapes the control
// characters itself).
nlohmann::json JsonText(const std::string& text) {
    return txt::ValidUtf8(text);
}

nlohmann::json JsonText(const std::optional<std::string>& text) {
    return text ? JsonText(*text) : nlohmann::json();
}

// "2. Cliente": the priority and the description.
std::string Numbered(const Criterion& c) {
    return PriorityText(c) + ". " + Quoted(c.description);
}

// The translated template with %1, %2, ... replaced by `args`.
std::string Format(const Translate& translate, const std::string& italian,
                   const std::vector<std::string>& args = {}) {
    return com::FillPlaceholders(translate(italian), args);
}

// "INDC=C00012 CODA=VITI-M6, conto 40.01.001": a matrix row's values and account.
std::string RowText(const Finding& f, const Translate& translate) {
    const std::string values = ValuesText(*f.criterion, f.values);
    return f.account.empty() ? Format(translate, "%1, senza conto", {values})
                             : Format(translate, "%1, conto %2", {values, Quoted(f.account)});
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
        case Finding::Kind::OffStructure:
            return "off-structure";
    }
    return "";
}

nlohmann::json CriterionJson(const Criterion& c) {
    nlohmann::json structure = nlohmann::json::array();
    for (const auto& code : c.structure) structure.push_back(JsonText(code));
    return {{"id", c.id},
            {"company", c.company},
            {"type", c.type},
            {"priority", c.priority ? nlohmann::json(*c.priority) : nlohmann::json()},
            {"description", JsonText(c.description)},
            {"structure", structure}};
}

nlohmann::json FindingJson(const Finding& f) {
    nlohmann::json item{{"kind", KindName(f.kind)}};
    if (f.criterion) item["criterion"] = CriterionJson(*f.criterion);
    if (f.earlier) item["earlier"] = CriterionJson(*f.earlier);
    if (f.row) item["row"] = f.row;
    if (f.rowCriterion) item["rowCriterion"] = f.rowCriterion;
    if (f.expectedPriority) item["expectedPriority"] = f.expectedPriority;
    if (f.kind == Finding::Kind::UnreachableRow || f.kind == Finding::Kind::OffStructure) {
        nlohmann::json values = nlohmann::json::array();
        for (const auto& v : f.values) values.push_back(JsonText(v));
        item["values"] = values;
        item["account"] = JsonText(f.account);
    }
    if (!f.missing.empty()) {
        nlohmann::json missing = nlohmann::json::array();
        for (const auto& code : f.missing) missing.push_back(JsonText(code));
        item["missing"] = missing;
    }
    if (f.valueBeyond) item["valueBeyond"] = ValueColumn(f.valueBeyond);
    return item;
}

class TextWriter final : public FindingsWriter {
  public:
    TextWriter(std::ostream& out, Translate translate)
        : out_(out), translate_(std::move(translate)) {}
    void Add(const Finding& f) override {
        out_ << (f.criterion ? CriterionLabel(*f.criterion, translate_) + ": " : std::string())
             << FindingText(f, translate_) << "\n";
        any_ = true;
    }
    void End() override {
        if (!any_) out_ << translate_("Nessun problema trovato") << "\n";
    }

  private:
    std::ostream& out_;
    Translate translate_;
    bool any_ = false;
};

// Each finding is written as the library writes it inside the whole document, four deep, so
// that the document is the one a dump of it all, indented by two, would give.
class JsonWriter final : public FindingsWriter {
  public:
    JsonWriter(std::ostream& out, int32_t company) : out_(out) {
        out_ << "{\n  \"company\": " << company << ",\n  \"findings\": [";
    }
    void Add(const Finding& f) override {
        const std::string item = FindingJson(f).dump(2);
        out_ << (any_ ? ",\n    " : "\n    ");
        for (size_t from = 0; from < item.size();) {
            const size_t end = std::min(item.find('\n', from), item.size() - 1) + 1;
            out_.write(item.data() + from, static_cast<std::streamsize>(end - from));
            if (end < item.size()) out_ << "    ";
            from = end;
        }
        any_ = true;
    }
    void End() override { out_ << (any_ ? "\n  ]" : "]") << "\n}\n"; }

  private:
    std::ostream& out_;
    bool any_ = false;
};

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
        values += (values.empty() ? "" : " ") + Quoted(code) + "=" + Quoted(value);
    return Format(translate, "Ditta %1, tipo %2 (%3), valori: %4",
                  {std::to_string(walk.company), std::to_string(walk.type),
                   TypeLabel(walk.type, translate), values});
}

std::string LookedForText(const Step& step) {
    std::string text;
    for (const auto& [code, value] : step.lookedFor)
        text += (text.empty() ? "" : " ") + Quoted(code) + "=" + Quoted(value.value_or("?"));
    return text;
}

std::string OutcomeText(const Step& step, const Translate& translate) {
    switch (step.outcome) {
        case Step::Outcome::Answered:
            return step.account && !step.account->empty()
                       ? Format(translate, "risponde: conto %1", {Quoted(*step.account)})
                       : translate("risponde, ma la riga non ha un conto");
        case Step::Outcome::NoRow:
            return translate("nessuna riga con questi valori");
        case Step::Outcome::MissingValue: {
            std::string missing;
            for (const auto& [code, value] : step.lookedFor)
                if (!value) missing += (missing.empty() ? "" : ", ") + Quoted(code);
            return Format(translate, "manca il valore di %1", {missing});
        }
    }
    return {};
}

std::string StepText(const Step& step, const Translate& translate) {
    return Numbered(step.criterion) + " [" + LookedForText(step) +
           "]: " + OutcomeText(step, translate);
}

std::string WalkResult(const Walk& walk, const Translate& translate) {
    const Step* answer = walk.Answer();
    if (auto account = walk.Account())
        return Format(translate, "Contropartita %1, dal criterio %2",
                      {Quoted(*account), Numbered(answer->criterion)});
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
            lookedFor.push_back({{"code", JsonText(code)}, {"value", JsonText(value)}});
        steps.push_back({{"criterion", CriterionJson(step.criterion)},
                         {"lookedFor", lookedFor},
                         {"outcome", OutcomeName(step.outcome)},
                         {"account", JsonText(step.account)}});
    }
    const Step* answer = walk.Answer();
    nlohmann::json values = nlohmann::json::object();
    for (const auto& [code, value] : walk.values) values[txt::ValidUtf8(code)] = JsonText(value);
    return {{"company", walk.company},
            {"type", walk.type},
            {"values", values},
            {"steps", steps},
            {"account", JsonText(walk.Account())},
            {"criterion", answer ? CriterionJson(answer->criterion) : nlohmann::json()}};
}

std::string CriterionLabel(const Criterion& c, const Translate& translate) {
    return TypeLabel(c.type, translate) + ", " + Numbered(c);
}

std::string FindingText(const Finding& f, const Translate& translate) {
    switch (f.kind) {
        case Finding::Kind::UnreachableRow:
            return Format(translate,
                          "la riga %1 della matrice (%2) non è mai raggiunta: risponde prima %3",
                          {std::to_string(f.row), RowText(f, translate), Numbered(*f.earlier)});
        case Finding::Kind::NoRows:
            return translate("nessuna riga nella matrice: non risponde mai");
        case Finding::Kind::SameStructure:
            return Format(translate, "stessa struttura di %1", {Numbered(*f.earlier)});
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
        case Finding::Kind::OffStructure: {
            std::vector<std::string> wrong;
            if (!f.missing.empty())
                wrong.push_back(Format(translate, "manca il valore di %1",
                                       {Quoted(txt::Join(f.missing, ", "))}));
            if (f.valueBeyond)
                wrong.push_back(Format(translate, "ha un valore in %1, oltre la struttura",
                                       {ValueColumn(f.valueBeyond)}));
            return Format(translate, "la riga %1 della matrice (%2) non segue la struttura: %3",
                          {std::to_string(f.row), RowText(f, translate), txt::Join(wrong, "; ")});
        }
    }
    return {};
}

std::unique_ptr<FindingsWriter> FindingsTextWriter(std::ostream& out, Translate translate) {
    return std::make_unique<TextWriter>(out, std::move(translate));
}

std::unique_ptr<FindingsWriter> FindingsJsonWriter(std::ostream& out, int32_t company) {
    return std::make_unique<JsonWriter>(out, company);
}

}  // namespace determination
