#pragma once
// The company a program opens when the user names none.

#include <cstdint>
#include <string>

namespace framework {
class HostSession;
}

namespace app {

// Says that the database holds no company, and which command adds one.
std::string NoCompanyText();

// The code of the session's first company; refused, naming the command that adds one, when the
// database holds none.
int32_t FirstCompany(framework::HostSession& session);

}  // namespace app
