// The control models on their own: a grid whose formatting handler fails shows the cell's own text.

#include <gmock/gmock.h>

#include "contracts/record_frame.h"
#include "framework/controls/grid.h"
#include "platform/ui/headless.h"

namespace framework::testing {
namespace {

using ::testing::ElementsAre;

struct Formatter : com::ComObject<Formatter, host::IGridEvents> {
    bool fail = false;
    com::HRESULT FormatCell(std::string& text, const std::string& column,
                            const com::Variant&) noexcept override {
        return com::Guard([&] {
            if (column == "KIND" && text == "1") text = "Alfa";
            if (fail) throw com::ComError(com::err::InvalidCall, "Gestore fallito");
        });
    }
};

TEST(Controls, AFailingFormatHandlerLeavesTheGridsRawText) {
    ui::HeadlessToolkit toolkit;
    ui::ScopedToolkit scoped(toolkit);
    auto grid = com::MakeObject<Grid>();
    grid->AddColumn("NAME", "Nome", 1, 2000, true);
    grid->AddColumn("KIND", "Tipo", 1, 800, true);
    grid->SetLines(1, [](int32_t) { return std::vector<std::string>{"1", "1"}; });
    auto formatter = com::MakeObject<Formatter>();
    com::EventConnection c;
    c.Connect<host::IGridEvents>(static_cast<host::IGridControl*>(grid.Get()), formatter.Get());
    EXPECT_THAT(grid->LineCells(1), ElementsAre("1", "Alfa"));
    formatter->fail = true;
    EXPECT_THAT(grid->LineCells(1), ElementsAre("1", "1"));
    EXPECT_TRUE(toolkit.Messages().empty());
}

}  // namespace
}  // namespace framework::testing
