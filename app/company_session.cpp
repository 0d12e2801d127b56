#include "app/company_session.h"

#include "app/paths.h"
#include "framework/text_service.h"

namespace app {

std::unique_ptr<framework::HostSession> OpenCompanySession(const std::string& database,
                                                           int32_t company,
                                                           const std::string& language) {
    auto choice = ChooseDatabase(database);
    auto session = std::make_unique<framework::HostSession>(
        choice.connectionString,
        framework::SessionOptions{
            .createDatabase = choice.demo, .demoData = true, .language = language});
    session->ChooseCompany(company);
    return session;
}

determination::Translate TranslatorOf(framework::HostSession& session) {
    return [&session](const std::string& text) {
        std::string copy = text;
        return session.Global().Texts().TranslateText(copy);
    };
}

}  // namespace app
