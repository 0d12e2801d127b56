#include "app/determination_commands.h"

#include <memory>

#include <nlohmann/json.hpp>

#include "app/command_line.h"
#include "app/company_session.h"
#include "app/language.h"
#include "determination/report.h"
#include "platform/text/text.h"
#include "resources/attribute_catalogue.h"
#include "window/posting_types.h"

namespace app {

namespace {

// "CODE=VALUE" pairs; the code is an attribute code of the catalogue, compared in upper case
// like the stored structures, and given once.
determination::AttributeValues ParseValues(const std::vector<std::string>& pairs) {
    determination::AttributeValues values;
    for (const auto& pair : pairs) {
        size_t at = pair.find('=');
        if (at == 0 || at == std::string::npos)
            throw UsageError(ProgramText(
                "\"%1\" non è un valore di attributo: scrivere CODICE=VALORE.", {pair}));
        std::string code = txt::Upper(pair.substr(0, at));
        if (dravel::AttributeCaption(code).empty())
            throw UsageError(ProgramText("%1 non è un codice di attributo.", {code}));
        if (!values.emplace(code, pair.substr(at + 1)).second)
            throw UsageError(
                ProgramText("Il codice di attributo %1 è indicato due volte.", {code}));
    }
    return values;
}

void CheckPostingType(int32_t type) {
    if (dravel::FindPostingType(type)) return;
    std::vector<std::string> types;
    for (const auto& t : dravel::kPostingTypes) types.push_back(std::to_string(t.code));
    throw UsageError(ProgramText("Il tipo %1 non esiste: i tipi sono %2.",
                                 {std::to_string(type), txt::Join(types, ", ")}));
}

}  // namespace

int RunResolve(const DeterminationOptions& options, int32_t type,
               const std::vector<std::string>& values, std::ostream& out) {
    CheckPostingType(type);
    auto parsed = ParseValues(values);
    auto session = OpenCompanySession(options.database, options.company, options.language);
    auto walk = determination::Resolve(session->Database(), options.company, type, parsed);
    if (options.json)
        out << determination::WalkJson(walk).dump(2) << "\n";
    else
        out << determination::WalkText(walk, TranslatorOf(*session));
    return walk.Account() ? 0 : 1;
}

// The findings are written as they are found: a company's may be many more than fit in memory
// twice over.
int RunCheck(const DeterminationOptions& options, std::ostream& out) {
    auto session = OpenCompanySession(options.database, options.company, options.language);
    auto writer = options.json ? determination::FindingsJsonWriter(out, options.company)
                               : determination::FindingsTextWriter(out, TranslatorOf(*session));
    bool found = false;
    determination::Check(session->Database(), options.company, [&](const auto& finding) {
        writer->Add(finding);
        found = true;
    });
    writer->End();
    return found ? 1 : 0;
}

}  // namespace app
