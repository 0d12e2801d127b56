// The navigator's events as the module handles them, through the dynamically loaded library.

#include <gtest/gtest.h>

#include "framework/export_to_office.h"
#include "platform/com/dispatch.h"
#include "tests/host/session_fixture.h"

namespace {

constexpr const char* kChangeQuestion =
    "Il cambio ditta comporta la chiusura del programma, proseguo ?";

class NavigatorHandlers : public test::SessionTest {};

TEST_F(NavigatorHandlers, AnInactiveModuleIgnoresEveryEvent) {
    Open();
    Module().put_IsActive(com::VARIANT_FALSE);
    auto& navigator = session_->Navigator();

    EXPECT_TRUE(navigator.RaiseBeforeChangeDitta());  // Cancel untouched, no question asked
    EXPECT_TRUE(navigator.RaiseButtonPressed(25));
    auto exporter = session_->PrepareExportToOffice();
    EXPECT_TRUE(com::GetProperty(exporter->GetUnknown(), "TitoloMaster").IsEmpty());
    auto layout = framework::LayoutModel::Create();
    auto script = framework::ScriptModel::Create();
    EXPECT_TRUE(navigator.RaiseInitializeLayoutObjectModel(layout.Get()));
    EXPECT_TRUE(navigator.RaiseInitializeScriptObjectModel(script.Get()));

    EXPECT_TRUE(layout->Entries().empty());
    EXPECT_TRUE(script->Objects().empty());
    EXPECT_EQ(MediaCalls(), 0);
    EXPECT_TRUE(mediaLinks_.empty());
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
    EXPECT_TRUE(session_->Window());
}

TEST_F(NavigatorHandlers, ACompanyChangeClosesTheWindowOnlyWhenTheUserAgrees) {
    Open();
    driver_.ExpectQuestion(ui::mb::AnswerNo, kChangeQuestion);
    EXPECT_FALSE(session_->ChangeCompany(2));  // Cancel set: the company stays
    const auto& asked = driver_.TakeMessage();
    EXPECT_EQ(asked.flags, 4);
    EXPECT_EQ(asked.title, "Gestione determinazione contropartite");
    EXPECT_TRUE(session_->Window());
    EXPECT_EQ(session_->Global().Active()->CompanyCode(), com::Variant(1));

    driver_.ExpectQuestion(ui::mb::AnswerYes, kChangeQuestion);
    EXPECT_TRUE(session_->ChangeCompany(2));
    driver_.TakeMessage();
    EXPECT_FALSE(session_->Window());
    EXPECT_EQ(session_->Global().Active()->CompanyCode(), com::Variant(2));
    // The window has let go of the module: the handlers do nothing from now on.
    EXPECT_TRUE(session_->Navigator().RaiseBeforeChangeDitta());
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
}

TEST_F(NavigatorHandlers, OnlyTheMediaButtonActsAndItSavesAnExistingRowFirst) {
    Open();
    EXPECT_TRUE(session_->PressNavigatorButton(24));
    EXPECT_TRUE(session_->PressNavigatorButton(26));
    EXPECT_TRUE(mediaLinks_.empty());

    // An edited existing row is saved before its media open.
    driver_.Type(Window(), "TXT_DESCR", "Per cliente (rivisto)");
    ASSERT_EQ(Frame()->Status(), host::frame_status::Existing);
    EXPECT_TRUE(session_->PressNavigatorButton(25));
    EXPECT_EQ(Query("SELECT MGA0_DESCR FROM MGA0_QUINTAB WHERE MGA0_ID = 40"),
              "Per cliente (rivisto)");
    const auto& shown = driver_.TakeMessage();
    EXPECT_EQ(shown.text, "Foto scaffale: /srv/media/700.jpg");
    EXPECT_EQ(shown.title, "Dati multimediali");

    // A second press reuses the same link object.
    session_->PressNavigatorButton(25);
    driver_.TakeMessage();
    EXPECT_EQ(mediaLinks_.size(), 1u);
    EXPECT_EQ(MediaCalls(), 2);
}

TEST_F(NavigatorHandlers, TheMediaButtonOnANewRowOnlyGivesTheNotice) {
    Open();
    driver_.Press(Window(), "INTERNAV", "Nuovo");
    ASSERT_EQ(Frame()->Status(), host::frame_status::New);
    session_->PressNavigatorButton(25);
    const auto& notice = driver_.TakeMessage();
    EXPECT_EQ(notice.text,
              "Il collegamento ai dati multimediali è possibile solamente in fase di variazione");
    EXPECT_EQ(notice.flags, 64);
    EXPECT_EQ(notice.title, "Avviso Utente");
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
    EXPECT_TRUE(mediaLinks_.empty());
    EXPECT_EQ(Frame()->Status(), host::frame_status::New);  // not saved
    EXPECT_EQ(Query("SELECT COUNT(*) FROM MGA0_QUINTAB"), "2");
}

TEST_F(NavigatorHandlers, ExportLayoutAndScriptPublications) {
    Open();
    Module().put_Caption(com::Variant("Titolo diverso"));
    auto exporter = session_->PrepareExportToOffice();
    EXPECT_EQ(com::GetProperty(exporter->GetUnknown(), "TitoloMaster"),
              com::Variant("FRM_MGQUINTAB"));

    auto layout = framework::LayoutModel::Create();
    session_->Navigator().RaiseInitializeLayoutObjectModel(layout.Get());
    ASSERT_EQ(layout->Entries().size(), 2u);
    EXPECT_EQ(layout->Entries()[0].title, com::Variant("Gestione determinazione contropartite"));
    EXPECT_EQ(layout->Entries()[1].title,
              com::Variant("Griglia Gestione determinazione contropartite"));
    EXPECT_TRUE(layout->Entries()[1].object);

    auto script = framework::ScriptModel::Create();
    session_->Navigator().RaiseInitializeScriptObjectModel(script.Get());
    auto window = script->Find("FRM_MGQUINTAB");
    auto frame = script->Find("DTS_GestioneContropartite");
    ASSERT_TRUE(window && frame);
    EXPECT_EQ(window->kind, 0);
    EXPECT_EQ(frame->kind, 3);
    EXPECT_TRUE(com::SameObject(frame->object.Get(), Frame().Get()));
    EXPECT_EQ(com::GetProperty(Frame().Get(), "Name"), com::Variant("DTS_GestioneContropartite"));
}

}  // namespace
