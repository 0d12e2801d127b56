#pragma once
// The host services a module creates by program identifier (contracts/progids.h).

namespace framework {

// Registers the log service, the media link and the connection and recordset suppliers as
// classes of the running program. Calling it again replaces the registrations.
void RegisterServiceClasses();

}  // namespace framework
