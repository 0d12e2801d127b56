#include "app/first_company.h"

#include "app/language.h"
#include "framework/host_session.h"

namespace app {

std::string NoCompanyText() {
    return ProgramText(
        "Il database non contiene alcuna ditta: aggiungerne una con "
        "\"dravel company add --code N --name NOME\".");
}

int32_t FirstCompany(framework::HostSession& session) {
    auto companies = session.Companies();
    if (companies.empty()) throw com::ComError(com::err::NoCurrentRecord, NoCompanyText());
    return companies.front().code;
}

}  // namespace app
