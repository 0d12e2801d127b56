#include "framework/host_context.h"

#include "platform/com/user_files.h"

namespace framework {

std::string CurrentUserName() {
    if (auto account = com::CurrentUserAccount()) return account->name;
    return com::Environment("USER");
}

com::ComPtr<HostContext> HostContext::Create() {
    auto context = com::ComPtr<HostContext>(new HostContext());
    context->value1_ = com::Variant(CurrentUserName());
    return context;
}

}  // namespace framework
