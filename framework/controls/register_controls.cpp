#include "framework/controls/register_controls.h"

#include "contracts/progids.h"
#include "framework/controls/combo.h"
#include "framework/controls/edit.h"
#include "framework/controls/grid.h"
#include "framework/controls/grid_source.h"
#include "framework/controls/group_box.h"
#include "framework/controls/label.h"
#include "framework/controls/mdi_host.h"
#include "framework/controls/nav_bar.h"
#include "framework/controls/resize.h"
#include "framework/controls/toolbar.h"
#include "framework/frame/record_frame.h"
#include "platform/com/registry.h"

namespace framework {

namespace {

template <class T>
void Register(const char* progId) {
    com::RegisterLocalClass(progId, [] {
        auto object = com::MakeObject<T>();
        return com::ComPtr<com::IUnknown>(object->GetUnknown());
    });
}

}  // namespace

void RegisterControlClasses() {
    namespace progid = host::progid;
    Register<Grid>(progid::Grid);
    Register<GridSource>(progid::GridSource);
    Register<NavBar>(progid::NavBar);
    Register<Edit>(progid::Edit);
    Register<Combo>(progid::Combo);
    Register<Toolbar>(progid::Toolbar);
    Register<MdiHost>(progid::MdiHost);
    Register<Resize>(progid::Resize);
    Register<Label>(progid::Label);
    Register<GroupBox>(progid::GroupBox);
    Register<RecordFrame>(progid::RecordFrame);
}

}  // namespace framework
