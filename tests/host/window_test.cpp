// The criteria window where a session script cannot look: what the editor shows beside its texts,
// its record frame's handling of handlers that refuse, fail or reload the list themselves, and
// another user writing while a question is on screen. A sink of the test's own, beside the
// window's, records the frame's, bar's and grid's events and can cancel, fail or act on one.

#include <gmock/gmock.h>

#include <map>
#include <optional>

#include "platform/ui/list_box.h"
#include "platform/ui/tree_view.h"
#include "tests/support/error_matchers.h"
#include "tests/support/module_session.h"

namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::HasSubstr;
using testing_support::FailsWith;

class Sink : public com::ComObject<Sink, host::IRecordFrameEvents, host::INavBarEvents,
                                   host::IGridEvents> {
  public:
    std::vector<std::string> events;  // "AfterUpdate(-1)", "ButtonAction(0,Conferma)", ...
    bool cancel = false;              // BeforeUpdate sets Cancel
    std::string failOn;               // the event that answers with a failure
    std::map<std::string, std::function<void()>> on;  // run when the event (as recorded) comes

    com::HRESULT AfterDelete(int32_t r) noexcept override { return Log("AfterDelete", r); }
    com::HRESULT AfterUndo(int32_t r) noexcept override { return Log("AfterUndo", r); }
    com::HRESULT AfterUpdate(int32_t r) noexcept override { return Log("AfterUpdate", r); }
    com::HRESULT BeforeDelete(com::VARIANT_BOOL&) noexcept override { return com::S_OK; }
    com::HRESULT BeforeUpdate(com::VARIANT_BOOL& c) noexcept override {
        if (cancel) c = com::VARIANT_TRUE;
        return Log("BeforeUpdate");
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
    com::HRESULT FormatCell(std::string&, const std::string&,
                            const com::Variant&) noexcept override {
        return Log("FormatCell");
    }
    com::HRESULT ButtonAction(int32_t flag, const std::string& key) noexcept override {
        events.push_back("ButtonAction(" + std::to_string(flag) + "," + key + ")");
        return com::S_OK;
    }

  private:
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

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_.Sql(
            "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
            "MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES (1, 1, 0, 1, 'Primo', 'CODAINDC'), "
            "(2, 1, 0, 2, NULL, 'DOCU')");
        m_.Open();
        frame_ = m_.Frame();
        bar_ = m_.Control<ui::IButtonBar>("INTERNAV");
        frameEvents_.Connect<host::IRecordFrameEvents>(frame_.Get(), sink_.Get());
        barEvents_.Connect<host::INavBarEvents>(bar_.Get(), sink_.Get());
    }

    std::string Text(const std::string& field) {
        return m_.Control<ui::ITextInput>(field)->DisplayText();
    }
    void Type(const std::string& field, const std::string& text) {
        user_.driver.Type(m_.Window(), field, text);
    }
    std::string Stored() {
        return m_.Query("SELECT MGA0_ID, MGA0_INDPRIOR, MGA0_DESCR FROM MGA0_QUINTAB ORDER BY 1");
    }
    std::vector<std::string> TakeEvents() { return std::exchange(sink_->events, {}); }
    bool Pending() { return m_.Control<host::INavBar>("INTERNAV")->ChangesPending(); }

    testing_support::HeadlessUser user_;
    testing_support::ModuleSession m_;
    com::ComPtr<host::IRecordFrame> frame_;
    com::ComPtr<ui::IButtonBar> bar_;
    com::ComPtr<Sink> sink_ = com::MakeObject<Sink>();
    com::EventConnection frameEvents_, barEvents_;
};

TEST_F(WindowTest, FollowsTheRowsAndTheUsersChanges) {
    auto& w = m_.Window();
    auto& d = user_.driver;
    auto& tree = *static_cast<ui::TreeView*>(m_.Control<ui::ITreeView>("TVW_FIELDS").Get());
    auto& list = *static_cast<ui::ListBox*>(m_.Control<ui::IListBox>("LST_FIELDS").Get());
    // The attribute nodes shown bold, in tree order, and the chosen entry selected.
    auto marks = [&] {
        std::string bold;
        for (int32_t i = 1; i <= tree.Count(); ++i)
            if (tree.Node(i).parent && tree.Node(i).bold) bold += tree.Node(i).key + " ";
        return bold + "@" + std::to_string(list.ListIndex());
    };
    // The catalogue's groups expanded, bold and grey; the first node in view.
    for (int32_t i = 1; i <= tree.Count(); ++i)
        if (const auto& node = tree.Node(i); !node.parent)
            EXPECT_TRUE(node.bold && node.expanded && node.foreColor == ui::Rgb(132, 132, 132))
                << node.key;
    EXPECT_EQ(tree.FirstVisible(), 1);
    EXPECT_EQ(marks(), "CODA INDC @-1");
    d.SelectLine(w, "QGRID", 2);  // another row marks its own attributes only
    EXPECT_EQ(marks(), "DOCU @-1");
    bar_->UserPress(host::nav_key::New);
    EXPECT_EQ(marks(), "@-1");
    // A chain comes in bold with its last level selected; the bar shows the pending change.
    d.SelectNode(w, "TVW_FIELDS", "STCC");
    d.DoubleClickTree(w, "TVW_FIELDS");
    EXPECT_EQ(marks(), "MACC CATC STCC @2");
    EXPECT_TRUE(Pending());
    // A reorder selects the entry moved; a removal unmarks and selects the first entry.
    d.PressToolbar(w, "TBAR_FIELDS", 0);
    EXPECT_EQ(marks(), "MACC CATC STCC @1");
    d.SelectListEntry(w, "LST_FIELDS", 2);
    d.PressToolbar(w, "TBAR_SELECT", 1);
    EXPECT_EQ(marks(), "MACC @0");
    d.PressToolbar(w, "TBAR_SELECT", 1);
    EXPECT_EQ(marks(), "@-1");

    // The structure field hands the focus to the tree (a refused save does so too: the widget
    // tests see it).
    m_.Control<ui::ITextInput>("TXT_DESCR")->UserFocus();
    m_.Control<ui::ITextInput>("TXT_STRUT")->UserFocus();
    EXPECT_EQ(w.FocusedControl(), "TVW_FIELDS");
}

// At the end of a direct change the frame redraws the grid and the controls from the rows.
TEST_F(WindowTest, FollowsMovesByCodeExceptInsideADirectChange) {
    auto rs = frame_->Recordset();
    auto grid = m_.Control<ui::ILineView>("QGRID");
    rs->MoveNext();
    EXPECT_EQ(grid->CurrentLine(), 2);
    EXPECT_EQ(Text("TXT_DESCR") + "|" + Text("TXT_PRIORITA"), "|2");  // Null shown as nothing
    EXPECT_THAT(TakeEvents(), ElementsAre("AfterMove(-1,0)"));
    frame_->BeginDirectChange();
    rs->Fields("MGA0_DESCR").SetValue("SECONDO");
    rs->MoveFirst();
    rs->UpdateBatch();
    EXPECT_TRUE(TakeEvents().empty());
    EXPECT_EQ(Text("TXT_DESCR"), "");
    frame_->EndDirectChange();
    EXPECT_EQ(grid->LineCells(2)[2], "SECONDO");
    EXPECT_EQ(grid->CurrentLine(), 1);
    EXPECT_EQ(Text("TXT_DESCR"), "Primo");
}

// However a save is refused, the edit stays on the screen only: the database and the row keep
// what they held, so that no later save, of this row or another, writes the refused values.
TEST_F(WindowTest, ARefusedSaveKeepsTheEditOnScreenAndWritesNothing) {
    const auto before = Stored();
    auto priority = [&](const char* typed) { return [=, this] { Type("TXT_PRIORITA", typed); }; };
    const char* const notWhole = "Il campo Priorità filtro deve contenere un numero intero";
    const struct {
        const char* why;
        std::function<void()> refuse;
        const char* message;
        int32_t flags;
    } ways[] = {
        {"the handler cancels", [&] { sink_->cancel = true; }, "", 0},
        {"the handler fails", [&] { sink_->failOn = "BeforeUpdate"; }, "Regola violata",
         ui::mb::Critical},
        // Whatever the recordset's conversion would refuse in a column of whole numbers.
        {"a word", priority("dieci"), notWhole, ui::mb::Exclamation},
        {"Arabic-Indic digits", priority("٣"), notWhole, ui::mb::Exclamation},
        {"full-width digits", priority("３"), notWhole, ui::mb::Exclamation},
        {"hexadecimal", priority("0x2"), notWhole, ui::mb::Exclamation},
    };
    for (const auto& w : ways) {
        SCOPED_TRACE(w.why);
        Type("TXT_DESCR", "rifiutato");
        w.refuse();
        bar_->UserPress(host::nav_key::Confirm);
        auto events = TakeEvents();
        EXPECT_EQ(events.back(), "ButtonAction(0,Conferma)");
        EXPECT_THAT(events, ::testing::Not(::testing::Contains("AfterUpdate(-1)")));
        if (*w.message)
            EXPECT_THAT(user_.toolkit.Messages().back(),
                        AllOf(Field(&ui::RecordedMessage::text, w.message),
                              Field(&ui::RecordedMessage::flags, w.flags)));
        EXPECT_EQ(frame_->Recordset()->Fields("MGA0_DESCR").Value(), com::Variant("Primo"));
        EXPECT_EQ(Text("TXT_DESCR"), "rifiutato");
        EXPECT_TRUE(frame_->Modified());
        EXPECT_EQ(Stored(), before);
        sink_->cancel = false;
        sink_->failOn.clear();
        Type("TXT_PRIORITA", "1");
    }
    frame_->Recordset()->MoveNext();  // by code: followed, the edit on screen given up
    Type("TXT_DESCR", "Secondo");
    Type("TXT_PRIORITA", " 2 ");  // blanks around a number are no fault
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(Stored(), "1|1|Primo;2|2|Secondo");
}

TEST_F(WindowTest, TypedTextThatIsNotUtf8IsRefusedAndChangesNothing) {
    EXPECT_THAT([&] { Type("TXT_DESCR", "caff\xE8"); },
                FailsWith(com::err::TypeMismatch, HasSubstr("TXT_DESCR takes UTF-8 text only")));
    EXPECT_EQ(Text("TXT_DESCR"), "Primo");
    EXPECT_FALSE(frame_->Modified());
}

// Past either end of the list only with an edit, which the move saves; none of it shows a message.
TEST_F(WindowTest, TheBarOffersWhatCanBeDoneWhereTheFrameStands) {
    auto press = [&](std::vector<const char*> keys) {
        return [=, this] {
            for (const char* key : keys) bar_->UserPress(key);
        };
    };
    const char *last = "Nuovo Elimina Indietro Esporta ",
               *all = "Nuovo Conferma Annulla Elimina Avanti Indietro Esporta ";
    const struct {
        const char* step;
        std::function<void()> act;
        int32_t current;
        const char* enabled;
        bool pending;
    } steps[] = {
        {"the first row", [] {}, 1, "Nuovo Elimina Avanti Esporta ", false},
        {"the last row", press({"Avanti"}), 2, last, false},
        {"an edit on the last row", [&] { Type("TXT_DESCR", "Ultimo"); }, 2, all, true},
        {"Avanti saves it",
         [&] {
             bar_->UserPress("Avanti");
             EXPECT_EQ(Stored(), "1|1|Primo;2|2|Ultimo");
         },
         2, last, false},
        {"a new row", press({"Nuovo"}), 3, "Nuovo Conferma Annulla Avanti Indietro Esporta ", true},
        {"every row deleted", press({"Annulla", "Elimina", "Elimina"}), 0, "Nuovo ", false},
        {"typing in the empty list", [&] { Type("TXT_PRIORITA", "3"); }, 0, "Nuovo ", false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.act();
        std::string enabled;
        for (const auto& key : bar_->Keys()) enabled += bar_->KeyEnabled(key) ? key + " " : "";
        EXPECT_EQ(enabled, s.enabled);
        EXPECT_EQ(frame_->CurrentRow(), s.current);
        EXPECT_EQ(Pending(), s.pending);
    }
    for (const auto& message : user_.toolkit.Messages()) ADD_FAILURE() << message.text;
    EXPECT_THAT([&] { bar_->UserPress("Ultimo"); }, FailsWith(::testing::_, HasSubstr("Ultimo")));
    EXPECT_THAT([&] { bar_->UserPress(host::nav_key::Confirm); },
                FailsWith(::testing::_, HasSubstr("Conferma")));
}

// The window's AfterUpdate reloads the list and puts the frame back on the saved row: a save asked
// for while the row is being settled does not write it twice, and one asked for afterwards finds
// it clean.
TEST_F(WindowTest, AnAfterUpdateThatReloadsAndRepositionsDoesNotSettleAgain) {
    frame_->Recordset()->MoveLast();
    bool nestedSave = true, nestedSaveBefore = true;
    sink_->on["BeforeUpdate"] = [&] { nestedSaveBefore = frame_->SaveRecord(true, true, true); };
    sink_->on["AfterUpdate(-1)"] = [&] { nestedSave = frame_->SaveRecord(true, true, true); };
    Type("TXT_DESCR", "Ultimo");
    TakeEvents();
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_FALSE(nestedSaveBefore);
    EXPECT_TRUE(nestedSave);
    // The window's handler, which hears AfterUpdate first, reloads (8) and moves by code (0).
    EXPECT_THAT(TakeEvents(), ElementsAre("BeforeUpdate", "AfterMove(-1,8)", "AfterMove(-1,0)",
                                          "AfterUpdate(-1)", "ButtonAction(-1,Conferma)"));
    EXPECT_EQ(m_.Control<ui::ILineView>("QGRID")->CurrentLine(), 2);
    EXPECT_EQ(Text("TXT_DESCR"), "Ultimo");
    EXPECT_EQ(Stored(), "1|1|Primo;2|2|Ultimo");
}

TEST_F(WindowTest, AFailingFormatHandlerLeavesTheGridsRawText) {
    auto grid = m_.Control<ui::ILineView>("QGRID");
    EXPECT_EQ(grid->LineCells(1)[1], "Ven/Acq");
    sink_->failOn = "FormatCell";
    com::EventConnection formatting;
    formatting.Connect<host::IGridEvents>(grid.Get(), sink_.Get());
    EXPECT_EQ(grid->LineCells(1)[1], "0");
    EXPECT_TRUE(user_.toolkit.Messages().empty());
}

// A user at the headless toolkit while another one writes: `meanwhile` runs once the next message
// box has its answer, before the window goes on.
struct OtherUserToolkit : ui::HeadlessToolkit {
    std::function<void()> meanwhile;
    int32_t MessageBox(const std::string& text, int32_t flags, const std::string& title) override {
        const int32_t answer = HeadlessToolkit::MessageBox(text, flags, title);
        if (auto act = std::exchange(meanwhile, nullptr)) act();
        return answer;
    }
};

class StructureChange : public ::testing::TestWithParam<testing_support::Backend> {};

// Another structure for a criterion with counter-account rows is saved only when the user says
// Yes; No, and rows added while the user is asked, refuse the save, which keeps the edit on
// screen, writes nothing and leaves nothing locked.
TEST_P(StructureChange, TheUserIsAskedAndRowsAddedMeanwhileRefuseTheSave) {
    OtherUserToolkit toolkit;
    ui::ScopedToolkit scope{toolkit};
    ui::Driver driver{toolkit};
    testing_support::ModuleSession m{GetParam()};
    const std::string addRow =
        "INSERT INTO MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_CONTO) VALUES (1, 1, '40')";
    m.Sql(
        "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
        "MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES (1, 1, 0, 1, 'Cliente', 'INDC')");
    m.Sql(addRow);
    auto& w = m.Open();
    driver.SelectNode(w, "TVW_FIELDS", "CODA");
    driver.DoubleClickTree(w, "TVW_FIELDS");
    auto save = [&](int32_t answer) {
        driver.ExpectQuestion(answer);
        driver.Press(w, "INTERNAV", "Conferma");
        return m.Query("SELECT MGA0_STRUTTURACAMPI FROM MGA0_QUINTAB");
    };
    EXPECT_EQ(save(ui::mb::AnswerNo), "INDC");
    EXPECT_THAT(toolkit.Messages().back(),
                AllOf(Field(&ui::RecordedMessage::flags, 292),
                      Field(&ui::RecordedMessage::title, "Cambio struttura"),
                      Field(&ui::RecordedMessage::text,
                            "Il criterio ha 1 righe nella matrice contropartite: cambiando la "
                            "struttura i loro valori cambiano significato. Salvare comunque?")));
    toolkit.meanwhile = [&] { m.Sql(addRow); };
    EXPECT_EQ(save(ui::mb::AnswerYes), "INDC");
    EXPECT_THAT(toolkit.Messages().back().text, HasSubstr("contropartite (ora 2)"));
    EXPECT_TRUE(m.Frame()->Modified());
    m.Sql(addRow);
    EXPECT_EQ(save(ui::mb::AnswerYes), "INDCCODA");
    EXPECT_FALSE(m.Frame()->Modified());
}

DRAVEL_ON_EACH_BACKEND(StructureChange);

}  // namespace
