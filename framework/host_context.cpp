#include "framework/host_context.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace framework {

std::string CurrentUserName() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return found->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

com::ComPtr<HostContext> HostContext::Create() {
    auto context = com::ComPtr<HostContext>(new HostContext());
    context->value1_ = com::Variant(CurrentUserName());
    return context;
}

}  // namespace framework
