// The component runtime: the file-based registry (concurrent writers, bad files, and what others
// could plant) and the servers' lock count.

#include <gmock/gmock.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "platform/com/registry.h"
#include "platform/com/server.h"
#include "platform/com/user_files.h"
#include "tests/support/child_process.h"
#include "tests/support/error_matchers.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing_support::FailsWith;
using testing_support::Require;

namespace {

constexpr uid_t kNobody = 65534;

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename());
    return names;
}

// Why creating the class fails ("created" when it does not).
std::string CreateFailure(const std::string& progId) {
    try {
        com::CreateObject(progId);
    } catch (const com::ComError& e) {
        return e.Description();
    }
    return "created";
}

com::ClassRegistration Entry(const std::string& progId, const fs::path& library = "/opt/x.so") {
    com::ClassRegistration r;
    r.progId = progId;
    r.clsid = com::Guid::New();
    r.library = library;
    return r;
}

class RegistryFile : public ::testing::Test {
  protected:
    testing_support::TempDir temp_{"dravel-com"};
    const fs::path& dir_ = temp_.Path();
};

TEST_F(RegistryFile, WritersAtTheSameTimeKeepEachOthersEntries) {
    fs::path file = dir_ / "not/yet/registry.json";  // the first write makes the folders
    EXPECT_TRUE(com::Registry(file).All().empty());
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w)
        writers.emplace_back([&, w] {
            for (int i = 0; i < 15; ++i)
                EXPECT_NO_THROW(com::Registry(file).Register(
                    Entry("W" + std::to_string(w) + "." + std::to_string(i))));
        });
    for (auto& t : writers) t.join();
    EXPECT_EQ(com::Registry(file).All().size(), 60u);
    EXPECT_EQ(Names(file.parent_path()),
              (std::set<std::string>{"registry.json", "registry.json.lock"}));

    // A class registered again from another place is found there, once; unregistering a library
    // takes its classes only.
    com::Registry(file).Register(Entry("W3.14", "/opt/moved/x.so"));
    EXPECT_EQ(com::Registry(file).Find("W3.14")->library, "/opt/moved/x.so");
    EXPECT_EQ(com::Registry(file).All().size(), 60u);
    EXPECT_EQ(com::Registry(file).UnregisterLibrary("/opt/moved/x.so"), 1);
    EXPECT_EQ(com::Registry(file).All().size(), 59u);
}

TEST_F(RegistryFile, ABadEntryIsReportedNamingTheFile) {
    fs::path file = dir_ / "registry.json";
    // Nested a million levels deep it took the stack: refused while parsed.
    const std::string deep =
        R"({"classes":)" + std::string(1000000, '[') + std::string(1000000, ']') + "}";
    for (const std::string& bad :
         {std::string(R"({"classes":[{"progId":"A.B","clsid":"nonsense","library":"/x.so"}]})"),
          std::string(R"({"classes":[{"progId":"A.B"}]})"), deep}) {
        std::ofstream(file) << bad;
        EXPECT_THAT([&] { com::Registry(file).Find("A.B"); },
                    FailsWith(com::err::Automation, HasSubstr(file.string())));
    }
}

TEST_F(RegistryFile, WhatOthersCanChangeIsNeitherReadNorLoaded) {
    // What is planted: given this mode, or to nobody when 0; why it is refused.
    const std::tuple<const char*, mode_t, const char*> cases[] = {
        {"conf/registry.json", 0, "owned by user 65534"},
        {"conf", 0777, "writable by others"},
        {"lib", 0777, "writable by others"},
        {"lib/libplanted.so", 0, "owned by user 65534"}};
    int n = 0;
    for (const auto& [what, mode, why] : cases) {
        fs::path root = dir_ / std::to_string(++n);
        fs::create_directories(root / "lib");
        std::ofstream(root / "lib/libplanted.so") << "not loaded";
        com::Registry(root / "conf/registry.json")
            .Register(Entry("Planted.Class", root / "lib/libplanted.so"));
        fs::path planted = root / what;
        if (!mode && geteuid() != 0) continue;  // only root gives a file to another user
        ASSERT_EQ(mode ? chmod(planted.c_str(), mode) : chown(planted.c_str(), kNobody, kNobody),
                  0);
        testing_support::ScopedEnv registry("DRAVEL_REGISTRY",
                                            (root / "conf/registry.json").c_str());
        EXPECT_THAT(CreateFailure("Planted.Class"),
                    testing::AllOf(testing::StartsWith("Cannot create Planted.Class: "),
                                   HasSubstr(planted.string() + " is " + why)));
    }
}

// The system's registries come after the user's, in the order of XDG_CONFIG_DIRS, and only one
// that root alone can change is read: a user cannot register classes for everyone.
TEST_F(RegistryFile, TheSystemsRegistryComesAfterTheUsersAndOnlyRootMayChangeIt) {
    if (geteuid() != 0) GTEST_SKIP() << "a system's registry is root's, as when CI runs this";
    auto shared = Entry("Shared.Class"), mine = Entry("Both.Class"), theirs = Entry("Both.Class");
    for (const auto& entry : {shared, theirs})
        com::Registry(dir_ / "system/dravel/registry.json").Register(entry);
    com::Registry(dir_ / "user.json").Register(mine);
    testing_support::ScopedEnv user("DRAVEL_REGISTRY", (dir_ / "user.json").c_str());
    testing_support::ScopedEnv dirs(
        "XDG_CONFIG_DIRS",
        ("relative/ignored:" + (dir_ / "none").string() + ":" + dir_.string() + "/system").c_str());
    ASSERT_TRUE(com::FindClass("Shared.Class"));
    EXPECT_EQ(com::FindClass("Both.Class")->clsid, mine.clsid);
    // A relative folder names no fixed place: whatever the working folder holds there is not read.
    com::Registry(dir_ / "relative/ignored/dravel/registry.json").Register(Entry("Relative.Class"));
    EXPECT_IN_CHILD([&] {
        Require(chdir(dir_.c_str()) == 0 && !com::FindClass("Relative.Class"),
                "a registry in a relative folder was read");
    });

    // Owned by the user who reads it: good enough for their own registry, not for the system's.
    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
    for (const char* p : {"system", "system/dravel", "system/dravel/registry.json"})
        ASSERT_EQ(chown((dir_ / p).c_str(), kNobody, kNobody), 0);
    EXPECT_IN_CHILD([&] {
        Require(setuid(kNobody) == 0, "cannot become nobody");
        Require(bool(com::Registry(dir_ / "system/dravel/registry.json").Find("Shared.Class")),
                "the user's own file is not read");
        std::string got = CreateFailure("Shared.Class");
        Require(got.find("registry.json is owned by user 65534") != std::string::npos, got);
    });
}

// The user's own registry is under XDG_CONFIG_HOME, else under HOME, else in the home folder of
// the user's passwd entry: never one another user planted in /tmp. Without any, a clear error.
TEST(RegistryLocation, ItIsTheUsersOwnNeverTmp) {
    if (geteuid() != 0) GTEST_SKIP() << "only root plants files as another user, as CI does";
    EXPECT_IN_CHILD([] {
        testing_support::PrivateTmp();
        const passwd* user = getpwuid(geteuid());
        Require(user && mount("tmpfs", user->pw_dir, "tmpfs", 0, "mode=0700") == 0,
                "cannot put an empty home folder in place");
        fs::path planted = "/tmp/.config/dravel/registry.json";
        com::Registry(planted).Register(Entry("Planted.Class", "/tmp/libplanted.so"));
        for (const char* p : {"/tmp/.config", "/tmp/.config/dravel", planted.c_str()})
            Require(chown(p, kNobody, kNobody) == 0, "cannot give the file to nobody");
        unsetenv("DRAVEL_REGISTRY");
        {
            testing_support::ScopedEnv config("XDG_CONFIG_HOME", "/srv/conf");
            Require(com::Registry::DefaultPath() == "/srv/conf/dravel/registry.json",
                    com::Registry::DefaultPath());
        }
        unsetenv("XDG_CONFIG_HOME");
        for (const char* home : {static_cast<const char*>(nullptr), ""}) {
            testing_support::ScopedEnv env("HOME", home);
            auto path = com::Registry::DefaultPath();
            Require(path == fs::path(user->pw_dir) / ".config/dravel/registry.json", path);
            auto got = CreateFailure("Planted.Class");
            Require(got.find("not registered") != std::string::npos, got);
        }
        testing_support::ScopedEnv env("HOME", nullptr);
        Require(setuid(4000000) == 0 && !getpwuid(4000000),
                "cannot become a user unknown to passwd");
        auto got = CreateFailure("Planted.Class");
        Require(got.find("HOME is not set") != std::string::npos, got);
    });
}

// The lock file is created by the registry itself, never through a link. (The new registry is
// written to a file of a random name, created exclusively.)
TEST_F(RegistryFile, APlantedLinkIsNeverFollowed) {
    fs::create_symlink(dir_ / "created-through-the-link", dir_ / "other.json.lock");
    EXPECT_THROW(com::Registry(dir_ / "other.json").Register(Entry("A.B")), com::ComError);
    EXPECT_FALSE(fs::exists(dir_ / "created-through-the-link"));
}

TEST_F(RegistryFile, AWriteThatDoesNotFitKeepsTheOldRegistry) {
    fs::path file = dir_ / "registry.json";
    com::Registry(file).Register(Entry("Old.Class"));
    const std::string old = com::ReadFile(file);
    EXPECT_IN_CHILD([&] {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG instead
        rlimit limit{old.size() + 16, old.size() + 16};
        Require(setrlimit(RLIMIT_FSIZE, &limit) == 0, "cannot limit the file size");
        Require(::testing::Value([&] { com::Registry(file).Register(Entry("New.Class")); },
                                 FailsWith(::testing::_, HasSubstr(file.string()))),
                "a registry that did not fit was not reported as an error naming it");
    });
    EXPECT_EQ(com::ReadFile(file), old);
    EXPECT_EQ(Names(dir_), (std::set<std::string>{"registry.json", "registry.json.lock"}));
}

// The processor time of the calling thread: what others running on the machine do not lengthen.
std::chrono::nanoseconds ThreadTime() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

// Reading and adding take time in proportion to the entries: 40,000 took half a minute when each
// entry's end scanned all the entries read before it (four times the entries took sixteen times
// as long).
TEST_F(RegistryFile, ALargeRegistryIsReadAndAddedToInLinearTime) {
    const fs::path file = dir_ / "registry.json";
    auto readAndAdd = [&](int entries) {
        std::string text = R"({"classes":[)";
        for (int i = 0; i < entries; ++i)
            text += std::string(i ? "," : "") + R"({"progId":"Many.C)" + std::to_string(i) +
                    R"(","clsid":")" + com::Guid::New().ToString() + R"(","library":"/opt/x.so"})";
        std::ofstream(file) << text << "]}";
        const auto start = ThreadTime();
        com::Registry(file).Register(Entry("Many.New"));
        EXPECT_TRUE(com::Registry(file).Find("Many.C" + std::to_string(entries - 1)));
        return ThreadTime() - start;
    };
    const auto fewer = readAndAdd(5000), more = readAndAdd(20000);
    EXPECT_LT(more, fewer * 8) << "5,000 entries: " << fewer.count()
                               << " ns, 20,000: " << more.count() << " ns";
    EXPECT_EQ(com::Registry(file).All().size(), 20001u);
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
