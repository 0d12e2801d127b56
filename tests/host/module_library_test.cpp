// The module library as a host sees it: registered, created by program identifier, released.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "contracts/cinterface_access.h"
#include "platform/com/registry.h"
#include "tests/host/module_fixture.h"

namespace fs = std::filesystem;

namespace {

class ModuleLibrary : public test::RegistryInTempDir {};

TEST_F(ModuleLibrary, RegistersCreatesAndUnloads) {
    ASSERT_EQ(com::RegisterServer(DRAVEL_MODULE_PATH), com::S_OK);
    auto entry = com::Registry().Find("DRAVEL.CLSMG_QUINTAB");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->threadingModel, "Apartment");
    EXPECT_EQ(entry->typeLibVersion, "1.0");
    EXPECT_EQ(fs::canonical(entry->library), fs::canonical(DRAVEL_MODULE_PATH));

    {
        auto module = com::CreateObjectAs<host::Cinterface>("DRAVEL.CLSMG_QUINTAB");
        ASSERT_TRUE(module);
        // While an instance lives the library stays loaded.
        EXPECT_EQ(com::FreeUnusedLibraries(), 0);
    }
    EXPECT_EQ(com::FreeUnusedLibraries(), 1);

    ASSERT_EQ(com::UnregisterServer(DRAVEL_MODULE_PATH), com::S_OK);
    EXPECT_FALSE(com::Registry().Find("DRAVEL.CLSMG_QUINTAB"));
    try {
        com::CreateObject("DRAVEL.CLSMG_QUINTAB");
        FAIL() << "created an unregistered class";
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.Number(), 429);
        EXPECT_NE(e.Description().find("not registered"), std::string::npos);
    }
}

TEST_F(ModuleLibrary, ReportsWhyALibraryCannotServe) {
    com::ClassRegistration r;
    r.progId = "Missing.Class";
    r.clsid = com::Guid::New();
    r.library = TempDir() / "libmissing.so";
    com::Registry().Register(r);
    try {
        com::CreateObject("Missing.Class");
        FAIL();
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.Number(), 429);
        EXPECT_NE(e.Description().find("libmissing.so"), std::string::npos);
    }
}

TEST_F(ModuleLibrary, AMalformedRegistryIsReportedNotIgnored) {
    std::ofstream(com::Registry::DefaultPath()) << "{ not json";
    EXPECT_THROW(com::CreateObject("DRAVEL.CLSMG_QUINTAB"), com::ComError);
}

}  // namespace
