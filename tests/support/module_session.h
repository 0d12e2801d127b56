#pragma once
// The module as a host runs it, set up the one way every test of the module seen from outside
// sets it up. TestFolder: a temporary folder with the test's own component registry and log,
// which the programs a test starts find through the environment. ModuleSession adds the host's
// classes, this build's libdravel.so registered, and a host session on a database of the test's
// own holding companies 1 (seven posting types, nested item classes) and 2 (four types, no
// nesting), or the demo data.

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "contracts/cinterface_access.h"
#include "contracts/record_frame.h"
#include "db/demo_data.h"
#include "db/schema.h"
#include "framework/host_classes.h"
#include "framework/host_session.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/watcher.h"
#include "platform/com/registry.h"
#include "platform/ui/headless.h"
#include "tests/support/backend.h"
#include "tests/support/module_library.h"
#include "tests/support/postgres_server.h"
#include "tests/support/rows.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

class TestFolder : public TempDir {
  public:
    explicit TestFolder(const std::string& prefix = "dravel-test") : TempDir(prefix) {}
    std::filesystem::path LogFile() const { return *this / "dravel.log"; }

  private:
    ScopedEnv registry_{"DRAVEL_REGISTRY", (*this / "registry.json").c_str()};
    ScopedEnv log_{"DRAVEL_LOG", LogFile().c_str()};
};

// The headless toolkit and the user who works it. A test declares it before its ModuleSession,
// which closes its windows on it at the end.
struct HeadlessUser {
    ui::HeadlessToolkit toolkit;
    ui::ScopedToolkit scope{toolkit};
    ui::Driver driver{toolkit};
};

class ModuleSession : public TestFolder {
  public:
    explicit ModuleSession(Backend backend = Backend::Sqlite, bool demo = false)
        : TestFolder("dravel-module") {
        framework::RegisterHostClasses();
        framework::HostSession::RegisterModule(ModuleLibraryPath());
        session = std::make_unique<framework::HostSession>(NewDatabase(backend, demo));
    }
    ~ModuleSession() {
        End();
        session.reset();
        com::FreeUnusedLibraries();
    }

    // Opens the window for a company as the host does (modeless).
    ui::IForm& Open(int32_t company = 1, const framework::ModuleSettings& settings = {}) {
        session->ChooseCompany(company);
        session->CreateModule(settings);
        session->ShowForm();
        return Window();
    }
    // Closes the window still open and ends the module.
    void End() {
        if (session) session->EndModule();
    }

    // The module keeps its window alive.
    ui::IForm& Window() {
        auto window = session->Window();
        if (!window) throw std::runtime_error("The window is not open");
        return *window;
    }
    // The record frame the window published as the module's ActiveFrame.
    com::ComPtr<host::IRecordFrame> Frame() {
        return host::GetRef(session->Module(), &host::Cinterface::get_ActiveFrame)
            .As<host::IRecordFrame>();
    }
    template <class I>
    com::ComPtr<I> Control(const std::string& name) {
        auto typed = Window().Control(name).template As<I>();
        if (!typed) throw std::runtime_error("No control " + name + " of the kind asked for");
        return typed;
    }

    // Raw SQL, which the history does not see.
    void Sql(const std::string& statement) {
        ado::Unwatched raw(session->Database());
        session->Database().Execute(statement);
    }
    std::string Query(const std::string& sql) { return Rows(session->Database(), sql); }

    std::unique_ptr<framework::HostSession> session;

  private:
    // A PostgreSQL database is copied from a template made once for the program.
    std::string NewDatabase(Backend backend, bool demo) {
        if (backend == Backend::Sqlite)
            return Created(ado::SqliteConnectionString(*this / "db"), demo);
        auto& server = PostgresServer::Shared();
        const std::string name = demo ? "demo_template" : "companies_template";
        static std::set<std::string> made;
        if (made.insert(name).second) Created(server.CreateDatabase(name), demo);
        return server.CreateDatabase("criteri", name);
    }
    static std::string Created(const std::string& connectionString, bool demo) {
        auto c = ado::Connection::Create();
        c->Open(connectionString);
        db::CreateDatabase(*c, [&] {
            if (demo) return db::LoadDemoData(*c);
            c->Execute(
                "INSERT INTO HOST_DITTE VALUES (1, 'Ditta uno', 4, 1), (2, 'Ditta due', 2, 0)");
        });
        return connectionString;
    }
};

}  // namespace testing_support
