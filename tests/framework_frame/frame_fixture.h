#pragma once
// A record frame over a small table of its own in a SQLite file, with a combo, two edits, a grid
// and a navigation bar created directly, and a sink that records the frame's and the bar's
// events (and can cancel, personalise the validation message or fail).

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/controls/combo.h"
#include "framework/controls/edit.h"
#include "framework/controls/grid.h"
#include "framework/controls/nav_bar.h"
#include "framework/frame/record_frame.h"
#include "platform/ado/connection.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/recordset.h"
#include "platform/ui/headless.h"
#include "tests/support/temp_dir.h"

namespace framework::testing {

class Sink : public com::ComObject<Sink, host::IRecordFrameEvents, host::INavBarEvents> {
  public:
    std::vector<std::string> events;
    bool cancelUpdate = false, cancelDelete = false;
    std::string failOn;               // the event that answers with a failure
    std::string personalizedMessage;  // given back by ValidateRecord when not empty
    std::string validatedField;       // DBField of the last control ValidateRecord named
    std::function<void()> onBeforeUpdate, onAfterUpdate, onAfterAddNew;

    com::HRESULT AfterDelete(int32_t r) noexcept override { return Log("AfterDelete", r); }
    com::HRESULT AfterUndo(int32_t r) noexcept override { return Log("AfterUndo", r); }
    com::HRESULT AfterUpdate(int32_t r) noexcept override {
        return Log("AfterUpdate", r, r == -1 ? onAfterUpdate : nullptr);
    }
    com::HRESULT BeforeDelete(com::VARIANT_BOOL& cancel) noexcept override {
        if (cancelDelete) cancel = com::VARIANT_TRUE;
        return Log("BeforeDelete");
    }
    com::HRESULT BeforeUpdate(com::VARIANT_BOOL& cancel) noexcept override {
        if (cancelUpdate) cancel = com::VARIANT_TRUE;
        return Log("BeforeUpdate", {}, onBeforeUpdate);
    }
    com::HRESULT AfterAddNew(int32_t r) noexcept override {
        return Log("AfterAddNew", r, onAfterAddNew);
    }
    com::HRESULT AfterMove(int32_t r, int32_t reason) noexcept override {
        return Log("AfterMove", r, nullptr, reason);
    }
    com::HRESULT ChangeStatus(int32_t status, int32_t reason) noexcept override {
        return Log("ChangeStatus", status, nullptr, reason);
    }
    com::HRESULT ValidateRecord(com::IUnknown*& control, std::string& message) noexcept override {
        return com::Guard([&] {
            validatedField = com::GetProperty(control, "DBField").ToText();
            if (!personalizedMessage.empty()) message = personalizedMessage;
            com::Check(Log("ValidateRecord"));
        });
    }
    com::HRESULT ButtonAction(int32_t flag, const std::string& key) noexcept override {
        events.push_back("ButtonAction(" + std::to_string(flag) + "," + key + ")");
        return com::S_OK;
    }

  private:
    com::HRESULT Log(const std::string& name, std::optional<int32_t> a = {},
                     const std::function<void()>& action = nullptr, std::optional<int32_t> b = {}) {
        std::string e = name;
        if (a) e += "(" + std::to_string(*a) + (b ? "," + std::to_string(*b) : "") + ")";
        events.push_back(e);
        return com::Guard([&] {
            if (failOn == name) throw com::ComError(com::err::InvalidCall, "Regola violata");
            if (action) action();
        });
    }
};

class FrameTest : public ::testing::Test {
  protected:
    static constexpr const char* kSql = "SELECT * FROM ITEMS ORDER BY ID";

    void SetUp() override {
        folder_.emplace("dravel-frame");
        conn_ = Connect();
        conn_->Execute(
            "CREATE TABLE ITEMS (ID INTEGER PRIMARY KEY, KIND SMALLINT NOT NULL, "
            "NAME VARCHAR(20) NULL, CODE VARCHAR(8) NULL, QTY INTEGER NULL)");
        conn_->Execute(
            "INSERT INTO ITEMS VALUES (1, 1, 'uno', 'A1', 10), (2, 2, 'due', NULL, NULL), "
            "(3, 1, 'tre', 'C3', 30)");
        rs_ = ado::Recordset::Create();
        rs_->Open(kSql, conn_.Get(), ado::adOpenStatic, ado::adLockBatchOptimistic);

        kind_ = com::MakeObject<Combo>();
        kind_->SetName("CBO_KIND");
        kind_->SetDBField("KIND");
        kind_->SetRequired(true);
        kind_->AddEntry("Alfa", int32_t{1});
        kind_->AddEntry("Beta", int32_t{2});
        name_ = MakeEdit("TXT_NAME", "NAME", "Nome", 20);
        name_->SetRequired(true);
        code_ = MakeEdit("TXT_CODE", "CODE", "Codice", 8);
        code_->SetDisplayFormat(host::display_format::Upper);
        qty_ = MakeEdit("TXT_QTY", "QTY", "Quantità", 5);
        qty_->SetNumeric(true);
        grid_ = com::MakeObject<Grid>();
        grid_->SetName("GRID");
        grid_->AddColumn("NAME", "Nome", 1, 2000, true);
        grid_->AddColumn("KIND", "Tipo", 1, 800, true);
        bar_ = com::MakeObject<NavBar>();
        bar_->SetName("NAV");

        frame_ = com::MakeObject<RecordFrame>();
        sink_ = com::MakeObject<Sink>();
        frameEvents_.Connect<host::IRecordFrameEvents>(frame_->GetUnknown(), sink_.Get());
        barEvents_.Connect<host::INavBarEvents>(static_cast<host::INavBar*>(bar_.Get()),
                                                sink_.Get());
        frame_->InitFrame(nullptr, conn_.Get(), rs_.Get(), kSql, "NAME", bar_.Get(), grid_.Get());
        for (host::IBoundControl* c : std::initializer_list<host::IBoundControl*>{
                 kind_.Get(), name_.Get(), code_.Get(), qty_.Get()})
            frame_->BindControl(c, nullptr);
        sink_->events.clear();
    }

    void TearDown() override {
        // What a window does when it unloads: the bar keeps nothing alive.
        bar_->SetFrameObject(nullptr);
        bar_->SetGridObject(nullptr);
        frameEvents_.Reset();
        barEvents_.Reset();
        frame_ = nullptr;
        rs_ = nullptr;
        conn_ = nullptr;
        folder_.reset();
    }

    com::ComPtr<Edit> MakeEdit(const char* name, const char* column, const char* caption,
                               int32_t maxChar) {
        auto e = com::MakeObject<Edit>();
        e->SetName(name);
        e->SetDBField(column);
        e->SetCaption(caption);
        e->SetMaxChar(maxChar);
        return e;
    }

    com::ComPtr<ado::Connection> Connect() const {
        auto c = ado::Connection::Create();
        c->Open(ado::SqliteConnectionString(*folder_ / "items.db"));
        return c;
    }

    // The table as the database holds it: "ID KIND NAME CODE QTY" per row, Null as "-".
    std::vector<std::string> Stored() const {
        std::vector<std::string> rows;
        auto r = Connect()->Execute("SELECT ID, KIND, NAME, CODE, QTY FROM ITEMS ORDER BY ID");
        for (; !r->Eof(); r->MoveNext()) {
            std::string line;
            for (int i = 0; i < 5; ++i) {
                auto v = r->Fields(i).Value();
                line += (i ? " " : "") + (v.IsNull() ? std::string("-") : v.ToText());
            }
            rows.push_back(line);
        }
        return rows;
    }

    std::vector<std::string> TakeEvents() { return std::exchange(sink_->events, {}); }
    const std::vector<ui::RecordedMessage>& Messages() const { return toolkit_.Messages(); }

    ui::HeadlessToolkit toolkit_;
    ui::ScopedToolkit scoped_{toolkit_};
    std::optional<testing_support::TempDir> folder_;
    com::ComPtr<ado::Connection> conn_;
    com::ComPtr<ado::Recordset> rs_;
    com::ComPtr<Combo> kind_;
    com::ComPtr<Edit> name_, code_, qty_;
    com::ComPtr<Grid> grid_;
    com::ComPtr<NavBar> bar_;
    com::ComPtr<RecordFrame> frame_;
    com::ComPtr<Sink> sink_;
    com::EventConnection frameEvents_, barEvents_;
};

}  // namespace framework::testing
