// The control models on their own: a handler's failure shown.

#include <gmock/gmock.h>

#include "contracts/record_frame.h"
#include "framework/controls/grid.h"
#include "framework/controls/toolbar.h"
#include "platform/ui/headless.h"

namespace framework::testing {
namespace {

using ::testing::ElementsAre;

struct Listener : com::ComObject<Listener, host::IToolbarEvents, host::IGridEvents> {
    std::vector<std::string> events;
    bool fail = false;
    com::HRESULT ButtonClick(host::IToolbar* t) noexcept override {
        return Log("ButtonClick" + std::to_string(t->Index()));
    }
    com::HRESULT FormatCell(std::string& text, const std::string& column,
                            const com::Variant&) noexcept override {
        if (column == "KIND" && text == "1") text = "Alfa";
        return fail ? Log("FormatCell") : com::S_OK;
    }
    com::HRESULT Log(const std::string& e) {
        events.push_back(e);
        return com::Guard([&] {
            if (fail) throw com::ComError(com::err::InvalidCall, "Gestore fallito");
        });
    }
};

// A handler that fails does not take the control down: the toolbar shows the failure, the grid
// its cell's own text.
TEST(Controls, AFailingHandlerIsShownByTheToolbarAndLeavesTheGridsRawText) {
    ui::HeadlessToolkit toolkit;
    ui::ScopedToolkit scoped(toolkit);
    auto bar = com::MakeObject<Toolbar>();
    bar->SetName("TBAR_PRIORITY");
    bar->SetIndex(1);
    auto grid = com::MakeObject<Grid>();
    grid->AddColumn("NAME", "Nome", 1, 2000, true);
    grid->AddColumn("KIND", "Tipo", 1, 800, true);
    grid->SetLines(1, [](int32_t) { return std::vector<std::string>{"1", "1"}; });
    auto listener = com::MakeObject<Listener>();
    com::EventConnection c, g;
    c.Connect<host::IToolbarEvents>(static_cast<host::IToolbar*>(bar.Get()), listener.Get());
    g.Connect<host::IGridEvents>(static_cast<host::IGridControl*>(grid.Get()), listener.Get());
    EXPECT_THAT(grid->LineCells(1), ElementsAre("1", "Alfa"));

    listener->fail = true;
    EXPECT_NO_THROW(bar->UserPress());
    EXPECT_THAT(grid->LineCells(1), ElementsAre("1", "1"));
    EXPECT_THAT(listener->events, ElementsAre("ButtonClick1", "FormatCell", "FormatCell"));
    ASSERT_EQ(toolkit.Messages().size(), 1u);
    EXPECT_EQ(toolkit.Messages()[0].text + "|" + toolkit.Messages()[0].title,
              "Gestore fallito|TBAR_PRIORITY");
    EXPECT_EQ(toolkit.Messages()[0].flags, ui::mb::Critical);
}

}  // namespace
}  // namespace framework::testing
