#include <gtest/gtest.h>

#include "framework/host_classes.h"
#include "framework/host_session.h"
#include "framework/log_service.h"
#include "platform/ado/connection_string.h"
#include "platform/com/registry.h"
#include "platform/ui/headless.h"
#include "tests/framework_host/recording_sink.h"
#include "tests/support/module_library.h"
#include "tests/support/temp_dir.h"

using testing_support::ScopedEnv;
using testing_support::Subscribed;
using testing_support::TempDir;

namespace {

std::string SqliteAt(const std::filesystem::path& file) {
    return ado::SqliteConnectionString(file);
}

}  // namespace

TEST(HostSession, ANewSqliteFileGetsTheSchemaAndOnRequestTheDemoData) {
    TempDir dir;
    {
        framework::HostSession empty(SqliteAt(dir / "empty.db"), {.createDatabase = true});
        EXPECT_TRUE(empty.Companies().empty());  // the table exists, with no rows
    }
    framework::HostSession demo(SqliteAt(dir / "demo.db"),
                                {.createDatabase = true, .demoData = true});
    auto companies = demo.Companies();
    ASSERT_FALSE(companies.empty());
    // Reopening an existing file leaves its content alone.
    framework::HostSession again(SqliteAt(dir / "demo.db"),
                                 {.createDatabase = true, .demoData = true});
    EXPECT_EQ(again.Companies().size(), companies.size());
}

TEST(HostSession, CompanyChangeHonoursTheModulesCancel) {
    TempDir dir;
    framework::HostSession session(SqliteAt(dir / "host.db"),
                                   {.createDatabase = true, .language = "en"});
    session.Database().Execute(
        "INSERT INTO HOST_DITTE (DITTA_CODICE, DITTA_RAGSOC, DITTA_PARAMTIPICONTO) "
        "VALUES (1, 'Uno', 1), (2, 'Due', NULL)");
    std::string tipo = "Tipo";
    EXPECT_EQ(session.Global().TextService()->TranslateText(tipo), "Type");

    session.ChooseCompany(1);
    EXPECT_TRUE(session.ChangeCompany(2));
    EXPECT_EQ(session.Global().Active()->Code(), 2);

    Subscribed module(session.Navigator());
    module.sink->cancel = true;
    EXPECT_FALSE(session.ChangeCompany(1));
    EXPECT_EQ(session.Global().Active()->Code(), 2);
    EXPECT_EQ(module.sink->changes, 1);

    // A company that does not exist is an error before the module is asked anything.
    module.sink->cancel = false;
    EXPECT_THROW(session.ChangeCompany(9), com::ComError);
    EXPECT_EQ(module.sink->changes, 1);
    EXPECT_EQ(session.Global().Active()->Code(), 2);
    EXPECT_TRUE(session.ChangeCompany(1));
    EXPECT_EQ(session.Global().HostContext()->HostValue2(), com::Variant(int32_t{1}));
}

TEST(HostSession, CreatesTheModuleByProgramIdentifierAndAssignsItsProperties) {
    const char* build = std::getenv("DRAVEL_BUILD_DIR");
    std::filesystem::path library = std::filesystem::path(build ? build : "") / "lib/libdravel.so";
    if (!build || !std::filesystem::exists(library)) GTEST_SKIP() << "no " << library;

    TempDir dir;
    ScopedEnv registry("DRAVEL_REGISTRY", (dir / "registry.json").c_str());
    ScopedEnv log("DRAVEL_LOG", (dir / "dravel.log").c_str());
    framework::RegisterHostClasses();
    framework::HostSession::RegisterModule(testing_support::ModuleLibraryPath());
    EXPECT_TRUE(com::Registry().Find(framework::kModuleProgId));

    framework::HostSession session(SqliteAt(dir / "host.db"),
                                   {.createDatabase = true, .demoData = true});
    session.ChooseCompany(session.Companies().front().code);
    host::Cinterface& module = session.CreateModule({.windowState = 2, .programMode = 1});

    com::ComPtr<host::IGlobal> global;
    ASSERT_EQ(module.get_ClsGlobal(global.Put()), com::S_OK);
    EXPECT_TRUE(com::SameObject(global.Get(), session.Global().GetUnknown()));
    com::ComPtr<host::IMenuEntry> entry;
    ASSERT_EQ(module.get_ClsVoceMenu(entry.Put()), com::S_OK);
    EXPECT_EQ(entry->MenuEntryKey(), com::Variant("MG_QUINTAB"));
    com::Variant caption;
    module.get_Caption(&caption);
    EXPECT_EQ(caption, com::Variant("Gestione determinazione contropartite"));
    int32_t state = 0, mode = 0;
    com::VARIANT_BOOL active = 0, modal = -1;
    module.get_WindowState(&state);
    module.get_ProgramMode(&mode);
    module.get_IsActive(&active);
    module.get_WindowModal(&modal);
    EXPECT_EQ(state, 2);
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(active, com::VARIANT_TRUE);
    EXPECT_EQ(modal, com::VARIANT_FALSE);
    // Assigning the navigator subscribed the module to its events.
    EXPECT_TRUE(session.Navigator().HasSinks());

    // The window opens modeless and tells the navigator; closing it lets the host go.
    ui::HeadlessToolkit toolkit;
    ui::ScopedToolkit scope(toolkit);
    session.ShowForm();
    auto window = session.Window();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->Caption(), "Gestione determinazione contropartite");
    EXPECT_EQ(session.Navigator().OpenedCount(), 1);
    EXPECT_TRUE(com::SameObject(session.Global().ActiveModule().Get(), &module));
    EXPECT_TRUE(framework::ReadLogRecords(dir / "dravel.log").empty());
    session.CloseForm();
    EXPECT_FALSE(session.Window());
    EXPECT_FALSE(session.Global().ActiveModule());

    session.EndModule();
    EXPECT_EQ(session.Module(), nullptr);
    EXPECT_FALSE(session.Navigator().HasSinks());
}

TEST(HostSession, ANewModuleOrTheModulesEndClosesTheWindowStillOpen) {
    TempDir dir;
    ScopedEnv registry("DRAVEL_REGISTRY", (dir / "registry.json").c_str());
    ScopedEnv log("DRAVEL_LOG", (dir / "dravel.log").c_str());
    framework::RegisterHostClasses();
    framework::HostSession::RegisterModule(testing_support::ModuleLibraryPath());
    ui::HeadlessToolkit toolkit;
    ui::ScopedToolkit scope(toolkit);
    framework::HostSession session(SqliteAt(dir / "host.db"),
                                   {.createDatabase = true, .demoData = true});
    session.ChooseCompany(session.Companies().front().code);

    session.EndModule();  // none yet: nothing to do
    session.CreateModule();
    session.ShowForm();
    auto first = session.Window();
    ASSERT_TRUE(first);

    // The first module's window goes with its module; the new one has none yet.
    session.CreateModule();
    EXPECT_FALSE(first->Loaded());
    EXPECT_FALSE(session.Window());
    EXPECT_TRUE(toolkit.OpenForms().empty());

    session.ShowForm();
    auto second = session.Window();
    ASSERT_TRUE(second);
    session.EndModule();
    EXPECT_FALSE(second->Loaded());
    EXPECT_FALSE(session.Global().ActiveModule());
    session.EndModule();
    EXPECT_EQ(session.Module(), nullptr);
    // Neither module still hears the navigator.
    EXPECT_FALSE(session.Navigator().HasSinks());
    EXPECT_TRUE(framework::ReadLogRecords(dir / "dravel.log").empty());
}
