#pragma once
// Everything the host program serves itself: its services and its controls.

namespace framework {

// Registers the service classes and the control classes with the component runtime; a program
// calls it once before it creates a module.
void RegisterHostClasses();

}  // namespace framework
