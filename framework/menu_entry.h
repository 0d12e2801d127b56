#pragma once
// The host menu entry that opened a module.

#include "contracts/models.h"

namespace framework {

class MenuEntry : public com::ComObject<MenuEntry, host::IMenuEntry> {
  public:
    static com::ComPtr<MenuEntry> Create(com::Variant key) {
        return com::ComPtr<MenuEntry>(new MenuEntry(std::move(key)));
    }
    com::Variant MenuEntryKey() override { return key_; }

  private:
    explicit MenuEntry(com::Variant key) : key_(std::move(key)) {}
    com::Variant key_;
};

}  // namespace framework
