#include "framework/layout_model.h"

namespace framework {

com::ComPtr<com::IUnknown> LayoutModel::RegisterWindowLayout(const com::Variant&,
                                                             com::IUnknown* window, int32_t,
                                                             int32_t, int32_t) {
    registered_.push_back(window);
    return window;
}

com::ComPtr<com::IUnknown> LayoutModel::RegisterGridLayout(const com::Variant&,
                                                           com::IUnknown* grid) {
    registered_.push_back(grid);
    return grid;
}

}  // namespace framework
