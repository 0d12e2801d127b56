#include "framework/host_classes.h"

#include "framework/controls/register_controls.h"
#include "framework/service_classes.h"

namespace framework {

void RegisterHostClasses() {
    RegisterServiceClasses();
    RegisterControlClasses();
}

}  // namespace framework
