#pragma once
// The host session the commands that work on one company's data open.

#include <memory>
#include <string>

#include "determination/criteria_data.h"
#include "framework/host_session.h"

namespace app {

// The session on `database` (as --database takes it; empty: the demo database, created when
// missing) with `company` made active: error 3021 when the company does not exist.
std::unique_ptr<framework::HostSession> OpenCompanySession(const std::string& database,
                                                           int32_t company,
                                                           const std::string& language);

// The session's texts in its language.
determination::Translate TranslatorOf(framework::HostSession& session);

}  // namespace app
