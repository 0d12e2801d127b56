#pragma once
// A component registry of its own in a temporary folder, for tests that register libraries.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "contracts/cinterface.h"
#include "platform/com/registry.h"

namespace test {

class RegistryInTempDir : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("dravel-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        ::setenv("DRAVEL_REGISTRY", (dir_ / "registry.json").c_str(), 1);
    }
    void TearDown() override {
        com::FreeUnusedLibraries();
        ::unsetenv("DRAVEL_REGISTRY");
        std::filesystem::remove_all(dir_);
    }
    const std::filesystem::path& TempDir() const { return dir_; }

    // A new instance of the module, created by program identifier from the built library.
    com::ComPtr<host::Cinterface> NewModule() {
        if (!com::Registry().Find("DRAVEL.CLSMG_QUINTAB")) com::RegisterServer(DRAVEL_MODULE_PATH);
        return com::CreateObjectAs<host::Cinterface>("DRAVEL.CLSMG_QUINTAB");
    }

  private:
    std::filesystem::path dir_;
};

}  // namespace test
