#include <gtest/gtest.h>

#include "framework/export_to_office.h"
#include "framework/navigator.h"
#include "platform/com/dispatch.h"
#include "tests/framework_host/recording_sink.h"

using testing_support::Subscribed;

TEST(Navigator, CompanyChangeGoesAheadUnlessASinkCancels) {
    auto nav = framework::Navigator::Create();
    EXPECT_TRUE(nav->RaiseBeforeChangeDitta());  // nobody listening

    Subscribed first(*nav), second(*nav);
    EXPECT_TRUE(nav->RaiseBeforeChangeDitta());

    first.sink->cancel = true;
    EXPECT_FALSE(nav->RaiseBeforeChangeDitta());
    // Later sinks are still told, and see the Cancel the earlier ones set.
    EXPECT_EQ(second.sink->changes, 3 - 1);
    EXPECT_EQ(second.sink->cancelSeen.back(), com::VARIANT_TRUE);

    first.connection.Reset();
    EXPECT_TRUE(nav->RaiseBeforeChangeDitta());
}

TEST(Navigator, AFailingSinkIsReportedAfterEverySinkWasCalled) {
    auto nav = framework::Navigator::Create();
    Subscribed failing(*nav), other(*nav);
    failing.sink->fail = true;
    EXPECT_THROW(nav->RaiseButtonPressed(25), com::ComError);
    EXPECT_EQ(other.sink->buttons, std::vector<int32_t>{25});
}

TEST(Navigator, EventsCarryTheirArguments) {
    auto nav = framework::Navigator::Create();
    Subscribed s(*nav);

    EXPECT_TRUE(nav->RaiseButtonPressed(24));
    EXPECT_EQ(s.sink->buttons, std::vector<int32_t>{24});

    auto exporter = framework::ExportToOffice::Create();
    EXPECT_TRUE(nav->RaiseBeforeExportToOffice(exporter->GetUnknown()));
    EXPECT_EQ(exporter->TitoloMaster(), com::Variant("FRM_MGQUINTAB"));

    auto layout = framework::LayoutModel::Create();
    EXPECT_TRUE(nav->RaiseInitializeLayoutObjectModel(layout.Get()));
    ASSERT_EQ(layout->Entries().size(), 1u);
    EXPECT_EQ(layout->Entries()[0].kind, framework::LayoutModel::Kind::Grid);
    EXPECT_EQ(layout->Entries()[0].title, com::Variant("Griglia"));

    auto script = framework::ScriptModel::Create();
    EXPECT_TRUE(nav->RaiseInitializeScriptObjectModel(script.Get()));
    auto published = script->Find("FRM_MGQUINTAB");
    ASSERT_TRUE(published);
    EXPECT_TRUE(com::SameObject(published->object.Get(), s.sink->GetUnknown()));
    EXPECT_EQ(published->kind, host::script_kind::Window);
}

TEST(Navigator, KeepsWhatTheModuleTellsIt) {
    auto nav = framework::Navigator::Create();
    EXPECT_FALSE(nav->LastFrameStatus());
    nav->PublishFrameStatus(2);
    nav->PublishFrameStatus(0);
    nav->RefreshNavigator();
    nav->RefreshNavigator();
    nav->NavigatorOpened();
    nav->NavigatorShown();
    EXPECT_EQ(nav->LastFrameStatus(), 0);
    EXPECT_EQ(nav->RefreshCount(), 2);
    EXPECT_EQ(nav->OpenedCount(), 1);
    EXPECT_EQ(nav->ShownCount(), 1);

    // The models a module drops on unload stay dropped.
    ASSERT_TRUE(nav->ScriptModel());
    ASSERT_TRUE(nav->LayoutModel());
    nav->SetScriptModel(nullptr);
    nav->SetLayoutModel(nullptr);
    EXPECT_FALSE(nav->ScriptModel());
    EXPECT_FALSE(nav->LayoutModel());
}

TEST(ScriptModel, KeepsPublishedObjectsUnderTheirNamesAndTheNotices) {
    auto script = framework::ScriptModel::Create();
    auto window = framework::ExportToOffice::Create();  // any object will do
    auto frame = framework::ExportToOffice::Create();
    script->AddScriptObject("FRM_MGQUINTAB", window->GetUnknown(), host::script_kind::Window,
                            "FRM_MGQUINTAB");
    script->AddScriptObject("DTS_GestioneContropartite", frame->GetUnknown(),
                            host::script_kind::RecordFrame, "DTS_GestioneContropartite");
    ASSERT_EQ(script->Objects().size(), 2u);
    EXPECT_TRUE(com::SameObject(script->Find("DTS_GestioneContropartite")->object.Get(),
                                frame->GetUnknown()));
    EXPECT_EQ(script->Find("DTS_GestioneContropartite")->kind, host::script_kind::RecordFrame);

    // Publishing again under a name replaces; an empty name cannot be reached and is refused.
    script->AddScriptObject("FRM_MGQUINTAB", frame->GetUnknown(), 0, "FRM_MGQUINTAB");
    EXPECT_TRUE(com::SameObject(script->Find("FRM_MGQUINTAB")->object.Get(), frame->GetUnknown()));
    EXPECT_THROW(script->AddScriptObject("", nullptr, 3, ""), com::ComError);
    EXPECT_EQ(script->Objects().size(), 2u);

    script->ScriptOpenNotice("FRM_MGQUINTAB", 0, 0, com::Variant("FRM_MGQUINTAB"));
    script->ScriptCloseNotice(com::Variant("MG_QUINTAB"));
    ASSERT_EQ(script->OpenNotices().size(), 1u);
    EXPECT_EQ(script->OpenNotices()[0].windowName, "FRM_MGQUINTAB");
    EXPECT_EQ(script->CloseNotices(), std::vector<com::Variant>{com::Variant("MG_QUINTAB")});
}

TEST(ExportToOffice, TitoloMasterIsALateBoundProperty) {
    auto exporter = framework::ExportToOffice::Create();
    com::PutProperty(exporter->GetUnknown(), "titolomaster", com::Variant("Titolo"));
    EXPECT_EQ(com::GetProperty(exporter->GetUnknown(), "TitoloMaster"), com::Variant("Titolo"));
    try {
        com::PutProperty(exporter->GetUnknown(), "Titolo", com::Variant(1));
        ADD_FAILURE() << "no error";
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.Number(), com::err::NoSuchMember);
    }
}
