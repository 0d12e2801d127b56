#include "framework/service_classes.h"

#include "contracts/progids.h"
#include "framework/connection_supplier.h"
#include "framework/log_service.h"
#include "framework/media_link.h"
#include "framework/recordset_supplier.h"
#include "platform/com/registry.h"

namespace framework {

namespace {
template <class T>
void Register(const char* progId) {
    com::RegisterLocalClass(progId, [] { return T::Create().template As<com::IUnknown>(); });
}
}  // namespace

void RegisterServiceClasses() {
    Register<LogService>(host::progid::LogService);
    Register<MediaLink>(host::progid::MediaLink);
    Register<ConnectionSupplier>(host::progid::ConnectionSupplier);
    Register<RecordsetSupplier>(host::progid::RecordsetSupplier);
}

}  // namespace framework
