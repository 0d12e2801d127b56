// The file-based component registry.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/com/registry.h"
#include "platform/com/server.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class RegistryFile : public ::testing::Test {
  protected:
    testing_support::TempDir temp_{"dravel-com"};
    const fs::path& dir_ = temp_.Path();
};

com::ClassRegistration Entry(const std::string& progId) {
    com::ClassRegistration r;
    r.progId = progId;
    r.clsid = com::Guid::New();
    r.library = "/opt/dravel/lib" + progId + ".so";
    return r;
}

TEST_F(RegistryFile, WritersAtTheSameTimeKeepEachOthersEntries) {
    // In a folder that does not exist yet: reading finds nothing, the first write makes it.
    fs::path file = dir_ / "not/yet/registry.json";
    EXPECT_TRUE(com::Registry(file).All().empty());

    constexpr int kWriters = 4, kEach = 15;
    std::atomic<int> failures{0};
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            for (int i = 0; i < kEach; ++i) {
                try {
                    com::Registry(file).Register(
                        Entry("Writer" + std::to_string(w) + ".Class" + std::to_string(i)));
                } catch (...) {
                    ++failures;
                }
            }
        });
    for (auto& t : writers) t.join();
    EXPECT_EQ(failures, 0);

    EXPECT_EQ(com::Registry(file).All().size(), static_cast<size_t>(kWriters * kEach));
    EXPECT_TRUE(com::Registry(file).Find("Writer3.Class14"));
    // No temporary file is left behind.
    for (const auto& e : fs::directory_iterator(file.parent_path()))
        EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << e.path();
}

TEST_F(RegistryFile, ABadEntryIsReportedNamingTheFile) {
    fs::path file = dir_ / "registry.json";
    for (const char* bad :
         {R"({"classes":[{"progId":"A.B","clsid":"nonsense","library":"/x.so"}]})",
          R"({"classes":[{"progId":"A.B"}]})"}) {
        std::ofstream(file) << bad;
        try {
            com::Registry(file).Find("A.B");
            ADD_FAILURE() << bad;
        } catch (const com::ComError& e) {
            EXPECT_NE(e.Description().find(file.string()), std::string::npos) << e.Description();
        }
    }
}

TEST(ServerSupport, AnUnlockWithoutALockNeverFreesTheLibrary) {
    std::atomic<int> live{0};
    com::ServerDescriptor d{
        {{"Test.Class", com::Guid::New(), [] { return com::ComPtr<com::IUnknown>(); }}},
        com::Guid::New(),
        "1.0",
        &live};
    com::ComPtr<com::IClassFactory> factory;
    ASSERT_EQ(com::ServerGetClassObject(d, d.classes[0].clsid, com::IClassFactory::IID,
                                        reinterpret_cast<void**>(factory.Put())),
              com::S_OK);
    factory->LockServer(com::VARIANT_FALSE);              // no lock to release
    EXPECT_EQ(com::ServerCanUnloadNow(d), com::S_FALSE);  // the factory itself still lives
    factory->LockServer(com::VARIANT_TRUE);
    factory = nullptr;
    EXPECT_EQ(com::ServerCanUnloadNow(d), com::S_FALSE);  // the lock keeps the library
    EXPECT_EQ(live, 1);
}

}  // namespace
