#pragma once
// A component registry of its own in a temporary folder, for tests that register libraries.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "contracts/cinterface.h"
#include "platform/com/registry.h"
#include "tests/support/temp_dir.h"

namespace test {

class RegistryInTempDir : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_.emplace("dravel-host");
        ::setenv("DRAVEL_REGISTRY", (*dir_ / "registry.json").c_str(), 1);
    }
    void TearDown() override {
        com::FreeUnusedLibraries();
        ::unsetenv("DRAVEL_REGISTRY");
        dir_.reset();
    }
    const std::filesystem::path& TempDir() const { return dir_->Path(); }

    // A new instance of the module, created by program identifier from the built library.
    com::ComPtr<host::Cinterface> NewModule() {
        if (!com::Registry().Find("DRAVEL.CLSMG_QUINTAB")) com::RegisterServer(DRAVEL_MODULE_PATH);
        return com::CreateObjectAs<host::Cinterface>("DRAVEL.CLSMG_QUINTAB");
    }

  private:
    std::optional<testing_support::TempDir> dir_;
};

}  // namespace test
