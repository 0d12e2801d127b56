// The control models on their own: what the user may do to them and what they raise.

#include <gtest/gtest.h>

#include "contracts/progids.h"
#include "contracts/record_frame.h"
#include "framework/controls/combo.h"
#include "framework/controls/edit.h"
#include "framework/controls/grid.h"
#include "framework/controls/mdi_host.h"
#include "framework/controls/toolbar.h"
#include "framework/host_classes.h"
#include "platform/com/registry.h"
#include "platform/ui/headless.h"

namespace framework::testing {
namespace {

std::string ErrorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const com::ComError& e) {
        return e.Description();
    }
    return {};
}

struct Listener : com::ComObject<Listener, host::IEditEvents, host::IToolbarEvents,
                                 host::IGridEvents, host::IMdiHostEvents> {
    std::vector<std::string> events;
    bool fail = false;
    com::HRESULT GotFocus(host::IEditControl*) noexcept override { return Log("GotFocus"); }
    com::HRESULT ButtonClick(host::IToolbar* t) noexcept override {
        return Log("ButtonClick" + std::to_string(t->Index()));
    }
    com::HRESULT FormatCell(std::string& text, const std::string& column,
                            const com::Variant&) noexcept override {
        if (column == "KIND" && text == "1") text = "Alfa";
        return fail ? Log("FormatCell") : com::S_OK;
    }
    com::HRESULT FormLoad() noexcept override { return Log("FormLoad"); }
    com::HRESULT Log(const std::string& e) {
        events.push_back(e);
        return com::Guard([&] {
            if (fail) throw com::ComError(com::err::InvalidCall, "Gestore fallito");
        });
    }
};

TEST(Controls, EditTakesInputAndFocusOnlyWhileAvailableAndEnabled) {
    auto edit = com::MakeObject<Edit>();
    edit->SetName("TXT_STRUT");
    edit->SetDisplayFormat(host::display_format::Upper);
    auto listener = com::MakeObject<Listener>();
    com::EventConnection c;
    ASSERT_TRUE(
        c.Connect<host::IEditEvents>(static_cast<host::IEditControl*>(edit.Get()), listener.Get()));
    int focusRequests = 0, edits = 0, redraws = 0;
    edit->SetFocusHandler([&] { ++focusRequests; });
    edit->SetEditedHandler([&] { ++edits; });
    edit->AddObserver([&] { ++redraws; });

    edit->UserType("indc àè");
    EXPECT_EQ(edit->Text(), "INDC ÀÈ");
    EXPECT_EQ(com::GetProperty(static_cast<host::IEditControl*>(edit.Get()), "Text").ToText(),
              "INDC ÀÈ");
    EXPECT_EQ(edits, 1);
    EXPECT_GT(redraws, 0);

    edit->SetEnabled(false);  // read-only: still takes the focus, refuses typing
    EXPECT_NE(ErrorText([&] { edit->UserType("x"); }).find("TXT_STRUT"), std::string::npos);
    edit->UserFocus();
    EXPECT_EQ(listener->events, (std::vector<std::string>{"GotFocus"}));

    edit->SetAvailable(false);  // neither focus nor typing
    EXPECT_NE(ErrorText([&] { edit->FocusField(); }).find("TXT_STRUT"), std::string::npos);
    EXPECT_NE(ErrorText([&] { edit->UserType("x"); }).find("TXT_STRUT"), std::string::npos);
    EXPECT_EQ(focusRequests, 1);
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(edit->Text(), "INDC ÀÈ");
}

TEST(Controls, ComboTextIsTheSelectedValueNotTheLabel) {
    auto combo = com::MakeObject<Combo>();
    combo->AddEntry("Documenti Resi", int32_t{1});
    combo->AddEntry("Rimanenze finali Economiche", int32_t{4});
    combo->SetText("4");
    EXPECT_EQ(combo->SelectedIndex(), 1);
    EXPECT_EQ(combo->Text(), "4");
    combo->SetText("2");  // no such entry: nothing selected, the text kept
    EXPECT_EQ(combo->SelectedIndex(), -1);
    EXPECT_EQ(combo->Text(), "2");
    combo->UserChooseValue(int32_t{1});
    EXPECT_EQ(combo->Text(), "1");
    EXPECT_EQ(combo->ItemValue(combo->SelectedIndex()).ToLong(), 1);
    EXPECT_THROW(combo->UserChooseValue(int32_t{9}), com::ComError);
    EXPECT_THROW(combo->ItemValue(-1), com::ComError);
}

TEST(Controls, ToolbarShowsAHandlersFailureAndGoesOn) {
    ui::HeadlessToolkit toolkit;
    ui::ScopedToolkit scoped(toolkit);
    auto bar = com::MakeObject<Toolbar>();
    bar->SetName("TBAR_PRIORITY");
    bar->SetIndex(1);
    auto listener = com::MakeObject<Listener>();
    com::EventConnection c;
    c.Connect<host::IToolbarEvents>(static_cast<host::IToolbar*>(bar.Get()), listener.Get());
    bar->UserPress();
    listener->fail = true;
    EXPECT_NO_THROW(bar->UserPress());
    EXPECT_EQ(listener->events, (std::vector<std::string>{"ButtonClick1", "ButtonClick1"}));
    ASSERT_EQ(toolkit.Messages().size(), 1u);
    EXPECT_EQ(toolkit.Messages()[0].text, "Gestore fallito");
    EXPECT_EQ(toolkit.Messages()[0].flags, 16);
    EXPECT_EQ(toolkit.Messages()[0].title, "TBAR_PRIORITY");
    EXPECT_EQ(bar->ArrayIndex(), 1);
}

TEST(Controls, GridFormatsCellsWhenShownAndKeepsTheRawTextOnFailure) {
    auto grid = com::MakeObject<Grid>();
    grid->AddColumn("NAME", "Nome", 1, 2000, true);
    grid->AddColumn("KIND", "Tipo", 1, 800, true);
    auto listener = com::MakeObject<Listener>();
    com::EventConnection c;
    c.Connect<host::IGridEvents>(static_cast<host::IGridControl*>(grid.Get()), listener.Get());
    grid->SetLines({{"1", "1"}, {"x", "2"}});
    EXPECT_EQ(grid->LineCells(1), (std::vector<std::string>{"1", "Alfa"}));
    listener->fail = true;
    EXPECT_EQ(grid->LineCells(1), (std::vector<std::string>{"1", "1"}));
    grid->UserSelectLine(2);  // no frame: the grid just moves
    EXPECT_EQ(grid->CurrentLine(), 2);
    EXPECT_THROW(grid->UserSelectLine(3), com::ComError);
}

TEST(Controls, EveryClassIsCreatableByItsProgramIdentifier) {
    RegisterHostClasses();
    namespace p = host::progid;
    const std::vector<std::pair<const char*, const char*>> controls = {
        {p::Grid, "grid"},     {p::NavBar, "navbar"},   {p::Edit, "edit"},
        {p::Combo, "combo"},   {p::Toolbar, "toolbar"}, {p::MdiHost, "mdihost"},
        {p::Resize, "resize"}, {p::Label, "label"},     {p::GroupBox, "groupbox"}};
    for (const auto& [progId, kind] : controls) {
        auto control = com::CreateObjectAs<ui::IControl>(progId);
        ASSERT_TRUE(control) << progId;
        EXPECT_EQ(control->Kind(), kind);
    }
    EXPECT_TRUE(com::CreateObjectAs<host::IGridSource>(p::GridSource));
    auto frame = com::CreateObjectAs<host::IRecordFrame>(p::RecordFrame);
    ASSERT_TRUE(frame);
    com::PutProperty(frame.Get(), "Name", "FME_PARENT");
    EXPECT_EQ(com::GetProperty(frame.Get(), "Name").ToText(), "FME_PARENT");
}

TEST(Controls, MdiHostPlacesItsWindowAndRaisesFormLoadWhenItTakesItIn) {
    auto host = com::MakeObject<MdiHost>();
    auto listener = com::MakeObject<Listener>();
    com::EventConnection c;
    c.Connect<host::IMdiHostEvents>(static_cast<host::IMdiHost*>(host.Get()), listener.Get());
    host->FormShown();
    EXPECT_EQ(listener->events, (std::vector<std::string>{"FormLoad"}));
    com::Variant left(int32_t{0}), top(int32_t{0});
    host->PlaceWindow(left, top, 8760, 7605);
    EXPECT_EQ(host->WindowPlacement().width, 8760);
    EXPECT_EQ(host->WindowPlacement().height, 7605);
}

}  // namespace
}  // namespace framework::testing
