#pragma once
// The criteria window driven as a user does: a real database (an SQLite file in a temporary
// folder, or a PostgreSQL database), the host framework's classes, the module created by program
// identifier from libdravel.so, and the headless toolkit with its driver.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contracts/cinterface_access.h"
#include "contracts/record_frame.h"
#include "db/demo_data.h"
#include "db/schema.h"
#include "framework/host_classes.h"
#include "framework/host_session.h"
#include "framework/log_service.h"
#include "platform/com/registry.h"
#include "platform/ui/headless.h"
#include "platform/ui/list_box.h"
#include "platform/ui/tree_view.h"
#include "resources/attribute_catalogue.h"
#include "tests/support/backend.h"
#include "tests/support/criterion.h"
#include "tests/support/module_library.h"
#include "tests/support/postgres_server.h"
#include "tests/support/temp_dir.h"

namespace test {

using testing_support::Criterion;

// Its tests run on each backend (TEST_P, instantiated with DRAVEL_ON_EACH_BACKEND).
class WindowTest : public ::testing::TestWithParam<testing_support::Backend> {
  protected:
    // Company 1 keeps the account types (seven posting types) and nests its item classes;
    // company 2 does neither.
    static constexpr int32_t kCompany = 1;
    static constexpr int32_t kOtherCompany = 2;
    static constexpr const char* kCaption = "Gestione determinazione contropartite";

    void SetUp() override {
        dir_.emplace("dravel-window");
        ::setenv("DRAVEL_REGISTRY", (*dir_ / "registry.json").c_str(), 1);
        ::setenv("DRAVEL_LOG", LogFile().c_str(), 1);
        scoped_ = std::make_unique<ui::ScopedToolkit>(toolkit_);
        framework::RegisterHostClasses();
        framework::HostSession::RegisterModule(testing_support::ModuleLibrary());
        session_ = std::make_unique<framework::HostSession>(NewDatabase());
    }

    void TearDown() override {
        if (session_ && session_->Module()) {
            com::Variant closed;
            session_->Module()->CloseForm(&closed);
        }
        session_.reset();
        scoped_.reset();
        com::FreeUnusedLibraries();
        ::unsetenv("DRAVEL_REGISTRY");
        ::unsetenv("DRAVEL_LOG");
        dir_.reset();
    }

    void Exec(const std::string& sql) { session_->Database().Execute(sql); }

    // The key is given, as other programs give it: keys generated later follow the largest.
    void AddCriterion(int32_t company, const Criterion& c) {
        db::InsertWithKeys(session_->Database(), "MGA0_QUINTAB", "MGA0_ID", [&] {
            Exec(
                "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, "
                "MGA0_INDPRIOR, MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES (" +
                std::to_string(c.id) + ", " + std::to_string(company) + ", " +
                std::to_string(c.type) + ", " + std::to_string(c.priority) + ", '" + c.description +
                "', '" + c.structure + "')");
        });
    }

    void AddMatrixRows(int32_t company, int32_t criterion, int count) {
        for (int i = 0; i < count; ++i)
            Exec("INSERT INTO MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_CONTO) VALUES (" +
                 std::to_string(company) + ", " + std::to_string(criterion) + ", '60.01')");
    }

    int32_t Count(const std::string& sql) {
        auto rs = session_->Database().Execute(sql);
        return rs->Fields(0).Value().ToLong();
    }

    // The company's criteria as the database holds them, by type, then priority, then key.
    std::vector<Criterion> Stored(int32_t company = kCompany) {
        auto rs = session_->Database().Execute(
            "SELECT MGA0_ID, MGA0_FLGRESO, MGA0_INDPRIOR, MGA0_DESCR, MGA0_STRUTTURACAMPI "
            "FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = " +
            std::to_string(company) + " ORDER BY MGA0_FLGRESO, MGA0_INDPRIOR, MGA0_ID");
        std::vector<Criterion> rows;
        for (; !rs->Eof(); rs->MoveNext()) {
            auto text = [&](int i) {
                auto v = rs->Fields(i).Value();
                return v.IsNull() ? std::string() : v.ToText();
            };
            rows.push_back({rs->Fields(0).Value().ToLong(), rs->Fields(1).Value().ToLong(),
                            rs->Fields(2).Value().ToLong(), text(3), text(4)});
        }
        return rows;
    }

    // Opens the window for a company as the host does (modeless) and returns it.
    ui::IForm& Open(int32_t company = kCompany, framework::ModuleSettings settings = {}) {
        session_->ChooseCompany(company);
        session_->CreateModule(settings);
        session_->ShowForm();
        window_ = toolkit_.ActiveForm();
        if (!window_ || !window_->Loaded()) throw std::runtime_error("The window did not open");
        return *window_;
    }

    ui::IForm& Window() { return *window_; }

    // The record frame the window published as the module's ActiveFrame.
    com::ComPtr<host::IRecordFrame> Frame() {
        return host::GetRef(session_->Module(), &host::Cinterface::get_ActiveFrame)
            .As<host::IRecordFrame>();
    }

    template <class I>
    com::ComPtr<I> Control(const std::string& name) {
        auto c = Window().Control(name);
        if (!c) throw std::runtime_error("No control " + name);
        auto typed = c.template As<I>();
        if (!typed) throw std::runtime_error(name + " is not of the kind asked for");
        return typed;
    }

    std::string Text(const std::string& control) {
        return Control<ui::ITextInput>(control)->DisplayText();
    }

    ui::TreeView& Tree() {
        return *static_cast<ui::TreeView*>(Control<ui::ITreeView>("TVW_FIELDS").Get());
    }
    ui::ListBox& List() {
        return *static_cast<ui::ListBox*>(Control<ui::IListBox>("LST_FIELDS").Get());
    }
    std::vector<std::string> ListTexts() {
        std::vector<std::string> texts;
        for (int32_t i = 0; i < List().ListCount(); ++i) texts.push_back(List().List(i));
        return texts;
    }

    // The grid's lines as shown: priority, type label, description.
    std::vector<std::vector<std::string>> GridLines() {
        auto grid = Control<ui::ILineView>("QGRID");
        std::vector<std::vector<std::string>> lines;
        for (int32_t i = 1; i <= grid->LineCount(); ++i) lines.push_back(grid->LineCells(i));
        return lines;
    }

    void Press(const std::string& key) { driver_.Press(Window(), "INTERNAV", key); }
    void PressToolbar(const std::string& name, int16_t index) {
        driver_.PressToolbar(Window(), name, index);
    }
    void SelectLine(int32_t line) { driver_.SelectLine(Window(), "QGRID", line); }
    // Adds an attribute as the user does: select its node, double-click the tree.
    void AddByDoubleClick(const std::string& key) {
        driver_.SelectNode(Window(), "TVW_FIELDS", key);
        driver_.DoubleClickTree(Window(), "TVW_FIELDS");
    }
    // Removes the list entry of an attribute with the left-arrow button.
    void RemoveWithButton(const std::string& caption) {
        auto texts = ListTexts();
        auto at = std::find(texts.begin(), texts.end(), caption);
        if (at == texts.end()) throw std::runtime_error(caption + " is not listed");
        driver_.SelectListEntry(Window(), "LST_FIELDS", static_cast<int32_t>(at - texts.begin()));
        PressToolbar("TBAR_SELECT", 1);
    }

    std::filesystem::path LogFile() const { return *dir_ / "dravel.log"; }
    std::vector<nlohmann::json> LogRecords() const { return framework::ReadLogRecords(LogFile()); }

    ui::HeadlessToolkit toolkit_;
    ui::Driver driver_{toolkit_};
    std::unique_ptr<framework::HostSession> session_;

  private:
    // The schema and the two companies: an SQLite file in the test's folder, or a PostgreSQL
    // database copied from a template made once for the program.
    std::string NewDatabase() {
        if (GetParam() == testing_support::Backend::Sqlite)
            return Created(db::SqliteConnectionString(*dir_ / "criteri.sqlite"));
        auto& server = testing_support::PostgresServer::Shared();
        static const std::string made = Created(server.CreateDatabase("criteri_template"));
        return server.CreateDatabase("criteri", "criteri_template");
    }
    static std::string Created(const std::string& connectionString) {
        auto c = ado::Connection::Create();
        c->Open(connectionString);
        db::CreateDatabase(*c, [&] {
            c->Execute("INSERT INTO HOST_DITTE VALUES (1, 'Ditta uno', 4, 1)");
            c->Execute("INSERT INTO HOST_DITTE VALUES (2, 'Ditta due', 2, 0)");
        });
        return connectionString;
    }

    std::optional<testing_support::TempDir> dir_;
    std::unique_ptr<ui::ScopedToolkit> scoped_;
    ui::IForm* window_ = nullptr;
};

}  // namespace test
