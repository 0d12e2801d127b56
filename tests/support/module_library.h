#pragma once
// The module library of this build, as the component registry records it: the build puts the
// programs in bin/ and the libraries in lib/ beside it.

#include <filesystem>
#include <stdexcept>
#include <string>

namespace testing_support {

inline std::string ModuleLibrary() {
    auto library = std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() /
                   "lib/libdravel.so";
    if (!std::filesystem::exists(library))
        throw std::runtime_error("Cannot find the module library " + library.string());
    return std::filesystem::canonical(library).string();
}

}  // namespace testing_support
