#pragma once
// The layout object model: the windows and grids a module registers for layout handling.

#include <vector>

#include "contracts/models.h"

namespace framework {

class LayoutModel : public com::ComObject<LayoutModel, host::ILayoutModel> {
  public:
    enum class Kind { Window, Grid };
    struct Entry {
        Kind kind;
        com::Variant title;
        com::ComPtr<com::IUnknown> object;
    };

    static com::ComPtr<LayoutModel> Create() { return com::ComPtr<LayoutModel>(new LayoutModel()); }

    // Each returns the object it registered.
    com::ComPtr<com::IUnknown> RegisterWindowLayout(const com::Variant& title,
                                                    com::IUnknown* window, int32_t a, int32_t b,
                                                    int32_t c) override;
    com::ComPtr<com::IUnknown> RegisterGridLayout(const com::Variant& title,
                                                  com::IUnknown* grid) override;

    const std::vector<Entry>& Entries() const { return entries_; }
    // Drops the registrations (and the references to the registered objects).
    void Clear() { entries_.clear(); }

  private:
    LayoutModel() = default;
    std::vector<Entry> entries_;
};

}  // namespace framework
