#pragma once
// Everything the host program serves itself: its services and its controls.

namespace framework {

// Makes the host's services (log, media link, connection and recordset suppliers), its control
// classes and the record frame creatable by their program identifiers (contracts/progids.h) in
// this process. A program calls it once before it creates a module; calling it again replaces
// the registrations.
void RegisterHostClasses();

}  // namespace framework
