#pragma once
// Makes the host's control classes and the record frame creatable by their program identifiers
// (contracts/progids.h) in this process.

namespace framework {

void RegisterControlClasses();

}  // namespace framework
