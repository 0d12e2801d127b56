// The host session around the module loaded from libdravel.so: the company it works for, and the
// window of each module it creates.

#include <gtest/gtest.h>

#include "framework/host_classes.h"
#include "framework/host_session.h"
#include "framework/log_service.h"
#include "platform/ado/connection_string.h"
#include "platform/ui/headless.h"
#include "tests/support/module_library.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::ScopedEnv;

class HostSession : public ::testing::Test {
  protected:
    void SetUp() override {
        framework::RegisterHostClasses();
        framework::HostSession::RegisterModule(testing_support::ModuleLibraryPath());
        session_.emplace(ado::SqliteConnectionString(dir_ / "host.db"),
                         framework::SessionOptions{.createDatabase = true, .demoData = true});
        session_->ChooseCompany(session_->Companies().front().code);
    }

    testing_support::TempDir dir_;
    ScopedEnv registry_{"DRAVEL_REGISTRY", (dir_ / "registry.json").c_str()};
    ScopedEnv log_{"DRAVEL_LOG", (dir_ / "dravel.log").c_str()};
    ui::HeadlessToolkit toolkit_;
    ui::ScopedToolkit scope_{toolkit_};
    std::optional<framework::HostSession> session_;
};

// The module would ask the user whether to close its window for the change.
TEST_F(HostSession, ACompanyThatDoesNotExistIsRefusedBeforeTheModuleIsAsked) {
    session_->CreateModule();
    session_->ShowForm();
    const int32_t active = session_->Global().Active()->Code();
    EXPECT_THROW(session_->ChangeCompany(999), com::ComError);
    EXPECT_TRUE(toolkit_.Messages().empty());
    EXPECT_EQ(session_->Global().Active()->Code(), active);
    EXPECT_TRUE(session_->Window());
}

TEST_F(HostSession, ANewModuleOrTheModulesEndClosesTheWindowStillOpen) {
    session_->EndModule();  // none yet: nothing to do
    session_->CreateModule();
    session_->ShowForm();
    auto first = session_->Window();
    ASSERT_TRUE(first);
    // The first module's window goes with its module; the new one has none yet.
    session_->CreateModule();
    EXPECT_FALSE(first->Loaded());
    EXPECT_FALSE(session_->Window());
    EXPECT_TRUE(toolkit_.OpenForms().empty());

    session_->ShowForm();
    auto second = session_->Window();
    ASSERT_TRUE(second);
    session_->EndModule();
    EXPECT_FALSE(second->Loaded());
    EXPECT_FALSE(session_->Global().ActiveModule());
    EXPECT_FALSE(session_->Navigator().HasSinks());  // neither module still hears the navigator
    EXPECT_TRUE(framework::ReadLogRecords(dir_ / "dravel.log").empty());
}

}  // namespace
