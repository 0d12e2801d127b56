#pragma once
// The module library a test program is linked with, as the component registry records it.

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "resources/attribute_catalogue.h"

namespace testing_support {

inline std::string ModuleLibrary() {
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&dravel::LoadResString), &info) || !info.dli_fname)
        throw std::runtime_error("Cannot find the module library");
    return std::filesystem::canonical(info.dli_fname).string();
}

}  // namespace testing_support
