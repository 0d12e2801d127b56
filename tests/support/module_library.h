#pragma once
// The module library of this build: the build puts the programs in bin/ and the libraries in lib/
// beside it.

#include <filesystem>
#include <stdexcept>

namespace testing_support {

inline std::filesystem::path ModuleLibraryPath() {
    auto library = std::filesystem::canonical("/proc/self/exe").parent_path().parent_path() /
                   "lib/libdravel.so";
    if (!std::filesystem::exists(library))
        throw std::runtime_error("Cannot find the module library " + library.string());
    return std::filesystem::canonical(library);
}

}  // namespace testing_support
