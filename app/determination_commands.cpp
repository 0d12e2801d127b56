#include "app/determination_commands.h"

#include <memory>

#include <nlohmann/json.hpp>

#include "app/paths.h"
#include "determination/report.h"
#include "framework/host_session.h"
#include "framework/text_service.h"
#include "platform/text/text.h"

namespace app {

namespace {

// The session on the chosen database with the company made active: error 3021 when the
// company does not exist.
std::unique_ptr<framework::HostSession> OpenSession(const DeterminationOptions& options) {
    auto choice = ChooseDatabase(options.database);
    auto session = std::make_unique<framework::HostSession>(
        choice.connectionString,
        framework::SessionOptions{
            .createDatabase = choice.demo, .demoData = true, .language = options.language});
    session->ChooseCompany(options.company);
    return session;
}

determination::Translate TranslatorOf(framework::HostSession& session) {
    return [&session](const std::string& text) {
        std::string copy = text;
        return session.Global().Texts().TranslateText(copy);
    };
}

// "CODE=VALUE" pairs; the code is an attribute code, compared in upper case like the stored
// structures.
determination::AttributeValues ParseValues(const std::vector<std::string>& pairs) {
    determination::AttributeValues values;
    for (const auto& pair : pairs) {
        size_t at = pair.find('=');
        if (at == 0 || at == std::string::npos)
            throw com::ComError(com::err::InvalidCall,
                                "\"" + pair + "\" is not an attribute value: write CODE=VALUE");
        values[txt::Upper(pair.substr(0, at))] = pair.substr(at + 1);
    }
    return values;
}

}  // namespace

int RunResolve(const DeterminationOptions& options, int32_t type,
               const std::vector<std::string>& values, std::ostream& out) {
    auto parsed = ParseValues(values);
    auto session = OpenSession(options);
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
    auto session = OpenSession(options);
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
