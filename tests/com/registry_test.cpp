// The file-based component registry.

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/com/registry.h"
#include "platform/com/server.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::Require;

namespace {

constexpr uid_t kNobody = 65534;

std::string Content(const fs::path& file) {
    std::stringstream s;
    s << std::ifstream(file).rdbuf();
    return s.str();
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// Error 429 naming the class, or the description of another error.
std::string CreateFailure(const std::string& progId) {
    try {
        com::CreateObject(progId);
    } catch (const com::ComError& e) {
        return e.Number() == 429 ? e.Description() : "error " + std::to_string(e.Number());
    }
    return "created";
}

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
    EXPECT_EQ(Names(file.parent_path()),
              (std::vector<std::string>{"registry.json", "registry.json.lock"}));
}

TEST_F(RegistryFile, ABadEntryIsReportedNamingTheFile) {
    fs::path file = dir_ / "registry.json";
    // Nested a million levels deep it took the stack: refused while parsed.
    const std::string deep =
        std::string(R"({"classes":)") + std::string(1000000, '[') + std::string(1000000, ']') + "}";
    for (const std::string& bad :
         {std::string(R"({"classes":[{"progId":"A.B","clsid":"nonsense","library":"/x.so"}]})"),
          std::string(R"({"classes":[{"progId":"A.B"}]})"), deep}) {
        std::ofstream(file) << bad;
        try {
            com::Registry(file).Find("A.B");
            ADD_FAILURE() << bad.substr(0, 80);
        } catch (const com::ComError& e) {
            EXPECT_NE(e.Description().find(file.string()), std::string::npos) << e.Description();
        }
    }
}

// What others can change decides nothing: neither a registry nor a library it names is used.
TEST_F(RegistryFile, WhatOthersCanChangeIsNeitherReadNorLoaded) {
    struct Case {
        const char* planted;  // in the case's folder, made group or world writable or given away
        mode_t mode;          // 0: owned by nobody instead
        const char* why;
    };
    for (int n = 0; const Case& c : {Case{"conf/registry.json", 0664, "writable by its group"},
                                     Case{"conf/registry.json", 0, "owned by user 65534"},
                                     Case{"conf", 0777, "writable by others"},
                                     Case{"lib", 0777, "writable by others"},
                                     Case{"lib/libplanted.so", 0, "owned by user 65534"}}) {
        fs::path root = dir_ / std::to_string(++n);
        fs::create_directories(root / "lib");
        std::ofstream(root / "lib/libplanted.so") << "not loaded";
        auto entry = Entry("Planted.Class");
        entry.library = root / "lib/libplanted.so";
        com::Registry(root / "conf/registry.json").Register(entry);
        fs::path planted = root / c.planted;
        ASSERT_EQ(
            c.mode ? chmod(planted.c_str(), c.mode) : chown(planted.c_str(), kNobody, kNobody), 0);
        testing_support::ScopedEnv registry("DRAVEL_REGISTRY",
                                            (root / "conf/registry.json").c_str());
        std::string got = CreateFailure("Planted.Class");
        EXPECT_TRUE(got.starts_with("Cannot create Planted.Class: ")) << got;
        EXPECT_NE(got.find(planted.string() + " is " + c.why), std::string::npos) << got;
    }
}

// The system's registries come after the user's, in the order of XDG_CONFIG_DIRS, and only one
// that root alone can change is read: a user cannot register classes for everyone.
TEST_F(RegistryFile, TheSystemsRegistryComesAfterTheUsersAndOnlyRootMayChangeIt) {
    auto shared = Entry("Shared.Class"), mine = Entry("Both.Class"), theirs = Entry("Both.Class");
    com::Registry(dir_ / "system/dravel/registry.json").Register(shared);
    com::Registry(dir_ / "system/dravel/registry.json").Register(theirs);
    com::Registry(dir_ / "user.json").Register(mine);
    testing_support::ScopedEnv user("DRAVEL_REGISTRY", (dir_ / "user.json").c_str());
    testing_support::ScopedEnv dirs(
        "XDG_CONFIG_DIRS",
        ("relative/ignored:" + (dir_ / "none").string() + ":" + dir_.string() + "/system").c_str());
    ASSERT_TRUE(com::FindClass("Shared.Class"));
    EXPECT_EQ(com::FindClass("Both.Class")->clsid, mine.clsid);

    // Owned by the user who reads it: good enough for their own registry, not for the system's.
    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
    for (const char* p : {"system", "system/dravel", "system/dravel/registry.json"})
        ASSERT_EQ(chown((dir_ / p).c_str(), kNobody, kNobody), 0);
    int status = testing_support::InChild([&] {
        Require(setuid(kNobody) == 0, "cannot become nobody");
        Require(bool(com::Registry(dir_ / "system/dravel/registry.json").Find("Shared.Class")),
                "the user's own file is not read");
        std::string got = CreateFailure("Shared.Class");
        Require(got.find("registry.json is owned by user 65534") != std::string::npos, got);
    });
    EXPECT_EQ(status, 0) << "see the child's message above";
}

// Without HOME the registry is the one in the home folder of the user's passwd entry, never one
// another user planted in /tmp; without either, a clear error.
TEST(RegistryLocation, WithoutHomeItIsTheUsersOwnNeverTmp) {
    int status = testing_support::InChildWithPrivateTmp([] {
        const passwd* user = getpwuid(geteuid());
        Require(user && mount("tmpfs", user->pw_dir, "tmpfs", 0, "mode=0700") == 0,
                "cannot put an empty home folder in place");
        fs::path planted = "/tmp/.config/dravel/registry.json";
        fs::create_directories(planted.parent_path());
        std::ofstream(planted) << R"({"classes":[{"progId":"Planted.Class","clsid":")"
                               << com::Guid::New().ToString()
                               << R"(","library":"/tmp/libplanted.so"}]})";
        for (const char* p : {"/tmp/.config", "/tmp/.config/dravel", planted.c_str()})
            Require(chown(p, kNobody, kNobody) == 0, "cannot give the registry to nobody");
        unsetenv("DRAVEL_REGISTRY");
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
    EXPECT_EQ(status, 0) << "see the child's message above";
}

// The lock and temporary files are created by the registry itself, never through a link.
TEST_F(RegistryFile, PlantedLinksAreNeverFollowed) {
    fs::path victim = dir_ / "victim";
    std::ofstream(victim) << "keep";
    // Where the temporary files used to be: the registry's name, the process, a count.
    for (int n = 1; n <= 100; ++n)
        fs::create_symlink(victim, dir_ / ("registry.json.tmp." + std::to_string(getpid()) + "." +
                                           std::to_string(n)));
    com::Registry(dir_ / "registry.json").Register(Entry("A.B"));
    EXPECT_EQ(Content(victim), "keep");
    EXPECT_FALSE(fs::is_symlink(dir_ / "registry.json"));

    fs::create_symlink(dir_ / "created-through-the-link", dir_ / "other.json.lock");
    EXPECT_THROW(com::Registry(dir_ / "other.json").Register(Entry("A.B")), com::ComError);
    EXPECT_FALSE(fs::exists(dir_ / "created-through-the-link"));
}

// A registry that does not fit on the disk is an error and the old one stays whole.
TEST_F(RegistryFile, AWriteThatDoesNotFitKeepsTheOldRegistry) {
    fs::path file = dir_ / "registry.json";
    com::Registry(file).Register(Entry("Old.Class"));
    const std::string old = Content(file);
    int status = testing_support::InChild([&] {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG instead
        rlimit limit{old.size() + 16, old.size() + 16};
        Require(setrlimit(RLIMIT_FSIZE, &limit) == 0, "cannot limit the file size");
        try {
            com::Registry(file).Register(Entry("New.Class"));
        } catch (const com::ComError& e) {
            Require(e.Description().find(file.string()) != std::string::npos, e.Description());
            return;
        }
        Require(false, "a registry that did not fit was reported written");
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Content(file), old);
    EXPECT_EQ(Names(dir_), (std::vector<std::string>{"registry.json", "registry.json.lock"}));
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
