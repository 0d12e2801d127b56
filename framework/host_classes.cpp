#include "framework/host_classes.h"

#include "contracts/progids.h"
#include "framework/connection_supplier.h"
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
#include "framework/log_service.h"
#include "framework/media_link.h"
#include "framework/recordset_supplier.h"
#include "platform/com/registry.h"

namespace framework {

namespace {

// A service is made by its own Create(), a control model as any object is.
template <class T>
com::ComPtr<com::IUnknown> Make() {
    if constexpr (requires { T::Create(); })
        return T::Create().template As<com::IUnknown>();
    else
        return com::MakeObject<T>().template As<com::IUnknown>();
}

struct HostClass {
    const char* progId;
    com::ComPtr<com::IUnknown> (*make)();
};

constexpr HostClass kHostClasses[] = {
    {host::progid::LogService, Make<LogService>},
    {host::progid::MediaLink, Make<MediaLink>},
    {host::progid::ConnectionSupplier, Make<ConnectionSupplier>},
    {host::progid::RecordsetSupplier, Make<RecordsetSupplier>},
    {host::progid::Grid, Make<Grid>},
    {host::progid::GridSource, Make<GridSource>},
    {host::progid::NavBar, Make<NavBar>},
    {host::progid::Edit, Make<Edit>},
    {host::progid::Combo, Make<Combo>},
    {host::progid::Toolbar, Make<Toolbar>},
    {host::progid::MdiHost, Make<MdiHost>},
    {host::progid::Resize, Make<Resize>},
    {host::progid::Label, Make<Label>},
    {host::progid::GroupBox, Make<GroupBox>},
    {host::progid::RecordFrame, Make<RecordFrame>},
};

}  // namespace

void RegisterHostClasses() {
    for (const auto& c : kHostClasses) com::RegisterLocalClass(c.progId, c.make);
}

}  // namespace framework
