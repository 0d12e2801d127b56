#include "framework/layout_model.h"

namespace framework {

com::ComPtr<com::IUnknown> LayoutModel::RegisterWindowLayout(const com::Variant& title,
                                                             com::IUnknown* window, int32_t,
                                                             int32_t, int32_t) {
    entries_.push_back({Kind::Window, title, window});
    return window;
}

com::ComPtr<com::IUnknown> LayoutModel::RegisterGridLayout(const com::Variant& title,
                                                           com::IUnknown* grid) {
    entries_.push_back({Kind::Grid, title, grid});
    return grid;
}

}  // namespace framework
