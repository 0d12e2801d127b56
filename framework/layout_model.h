#pragma once
// The layout object model: the windows and grids a module registers for layout handling. This
// host lays out nothing beyond the window's own design: it holds what the module registers (and
// so keeps it alive) for as long as the navigator holds the model.

#include <vector>

#include "contracts/models.h"

namespace framework {

class LayoutModel : public com::ComObject<LayoutModel, host::ILayoutModel> {
  public:
    static com::ComPtr<LayoutModel> Create() { return com::ComPtr<LayoutModel>(new LayoutModel()); }

    // Each returns the object it registered.
    com::ComPtr<com::IUnknown> RegisterWindowLayout(const com::Variant& title,
                                                    com::IUnknown* window, int32_t a, int32_t b,
                                                    int32_t c) override;
    com::ComPtr<com::IUnknown> RegisterGridLayout(const com::Variant& title,
                                                  com::IUnknown* grid) override;

  private:
    LayoutModel() = default;
    std::vector<com::ComPtr<com::IUnknown>> registered_;
};

}  // namespace framework
