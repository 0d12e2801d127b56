#pragma once
// A record frame over a small table of its own in a SQLite file, with three edits, a grid and a
// navigation bar, and a sink that records the frame's and the bar's events (and can cancel, fail,
// or act on an event).

#include <gmock/gmock.h>

#include <map>
#include <optional>

#include "framework/controls/edit.h"
#include "framework/controls/grid.h"
#include "framework/controls/nav_bar.h"
#include "framework/frame/record_frame.h"
#include "platform/ado/connection.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/recordset.h"
#include "platform/ui/headless.h"
#include "tests/support/rows.h"
#include "tests/support/temp_dir.h"

namespace framework::testing {

class Sink : public com::ComObject<Sink, host::IRecordFrameEvents, host::INavBarEvents> {
  public:
    std::vector<std::string> events;  // "AfterUpdate(-1)", "ButtonAction(0,Conferma)", ...
    bool cancel = false;              // BeforeUpdate and BeforeDelete set Cancel
    std::string failOn;               // the event that answers with a failure
    std::map<std::string, std::function<void()>> on;  // run when the event (as recorded) comes

    com::HRESULT AfterDelete(int32_t r) noexcept override { return Log("AfterDelete", r); }
    com::HRESULT AfterUndo(int32_t r) noexcept override { return Log("AfterUndo", r); }
    com::HRESULT AfterUpdate(int32_t r) noexcept override { return Log("AfterUpdate", r); }
    com::HRESULT BeforeDelete(com::VARIANT_BOOL& c) noexcept override {
        return Cancel(c, "BeforeDelete");
    }
    com::HRESULT BeforeUpdate(com::VARIANT_BOOL& c) noexcept override {
        return Cancel(c, "BeforeUpdate");
    }
    com::HRESULT AfterAddNew(int32_t r) noexcept override { return Log("AfterAddNew", r); }
    com::HRESULT AfterMove(int32_t r, int32_t reason) noexcept override {
        return Log("AfterMove", r, reason);
    }
    com::HRESULT ChangeStatus(int32_t status, int32_t reason) noexcept override {
        return Log("ChangeStatus", status, reason);
    }
    com::HRESULT ValidateRecord(com::IUnknown*&, std::string&) noexcept override {
        return Log("ValidateRecord");
    }
    com::HRESULT ButtonAction(int32_t flag, const std::string& key) noexcept override {
        events.push_back("ButtonAction(" + std::to_string(flag) + "," + key + ")");
        return com::S_OK;
    }

  private:
    com::HRESULT Cancel(com::VARIANT_BOOL& c, const std::string& name) {
        if (cancel) c = com::VARIANT_TRUE;
        return Log(name);
    }
    com::HRESULT Log(const std::string& name, std::optional<int32_t> a = {},
                     std::optional<int32_t> b = {}) {
        std::string e = name;
        if (a) e += "(" + std::to_string(*a) + (b ? "," + std::to_string(*b) : "") + ")";
        events.push_back(e);
        return com::Guard([&] {
            if (failOn == name) throw com::ComError(com::err::InvalidCall, "Regola violata");
            if (auto action = on.find(e); action != on.end()) action->second();
        });
    }
};

class FrameTest : public ::testing::Test {
  protected:
    static constexpr const char* kSql = "SELECT * FROM ITEMS ORDER BY ID";

    void SetUp() override {
        conn_ = Connect();
        conn_->Execute(
            "CREATE TABLE ITEMS (ID INTEGER PRIMARY KEY, NAME VARCHAR(20) NULL, "
            "CODE VARCHAR(8) NULL, QTY INTEGER NULL)");
        conn_->Execute("INSERT INTO ITEMS VALUES (1, 'uno', 'a1', 10), (2, 'due', NULL, NULL)");
        rs_->Open(kSql, conn_.Get(), ado::adOpenStatic, ado::adLockBatchOptimistic);
        name_->SetRequired(true);
        code_->SetDisplayFormat(host::display_format::Upper);
        grid_->AddColumn("NAME", "Nome", 1, 2000, true);
        frameEvents_.Connect<host::IRecordFrameEvents>(frame_->GetUnknown(), sink_.Get());
        barEvents_.Connect<host::INavBarEvents>(static_cast<host::INavBar*>(bar_.Get()),
                                                sink_.Get());
        frame_->InitFrame(nullptr, conn_.Get(), rs_.Get(), kSql, "NAME", bar_.Get(), grid_.Get());
        for (auto& c : {name_, code_, qty_}) frame_->BindControl(c.Get(), nullptr);
        sink_->events.clear();
    }

    // What a window does when it unloads: the bar keeps nothing alive.
    void TearDown() override {
        bar_->SetFrameObject(nullptr);
        bar_->SetGridObject(nullptr);
    }

    static com::ComPtr<Edit> MakeEdit(const char* column, int32_t maxChar) {
        auto e = com::MakeObject<Edit>();
        e->SetName(std::string("TXT_") + column);
        e->SetDBField(column);
        e->SetCaption(column);
        e->SetMaxChar(maxChar);
        return e;
    }

    com::ComPtr<ado::Connection> Connect() const {
        auto c = ado::Connection::Create();
        c->Open(ado::SqliteConnectionString(folder_ / "items.db"));
        return c;
    }

    // The table as the database holds it.
    std::string Stored() const {
        return testing_support::Rows(*Connect(), "SELECT * FROM ITEMS ORDER BY ID");
    }

    std::vector<std::string> TakeEvents() { return std::exchange(sink_->events, {}); }
    const std::vector<ui::RecordedMessage>& Messages() const { return toolkit_.Messages(); }

    ui::HeadlessToolkit toolkit_;
    ui::ScopedToolkit scoped_{toolkit_};
    testing_support::TempDir folder_{"dravel-frame"};
    com::ComPtr<ado::Connection> conn_;
    com::ComPtr<ado::Recordset> rs_ = ado::Recordset::Create();
    // QTY in a field that takes any text, so that a save meets a value the column refuses.
    com::ComPtr<Edit> name_ = MakeEdit("NAME", 20), code_ = MakeEdit("CODE", 8),
                      qty_ = MakeEdit("QTY", 10);
    com::ComPtr<Grid> grid_ = com::MakeObject<Grid>();
    com::ComPtr<NavBar> bar_ = com::MakeObject<NavBar>();
    com::ComPtr<RecordFrame> frame_ = com::MakeObject<RecordFrame>();
    com::ComPtr<Sink> sink_ = com::MakeObject<Sink>();
    com::EventConnection frameEvents_, barEvents_;
};

}  // namespace framework::testing
