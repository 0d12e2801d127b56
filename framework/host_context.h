#pragma once
// The host's context values, which a module hands on unchanged (to the media link).
// HostValue1 is the name of the user running the host; HostValue2 the active company's code
// (Empty until a company is chosen).

#include "contracts/host_global.h"

namespace framework {

class HostContext : public com::ComObject<HostContext, host::IHostContext> {
  public:
    // HostValue1 from the operating system's user.
    static com::ComPtr<HostContext> Create();

    com::Variant HostValue1() override { return value1_; }
    com::Variant HostValue2() override { return value2_; }
    void SetCompanyCode(const com::Variant& code) { value2_ = code; }

  private:
    HostContext() = default;
    com::Variant value1_, value2_;
};

// The user's login name ("" when the system knows none).
std::string CurrentUserName();

}  // namespace framework
