// The list box's model: the selection and the item data stay on their entries, and only the user
// raises ListClick.

#include <gmock/gmock.h>

#include "tests/support/error_matchers.h"
#include "tests/ui/test_window.h"

namespace ui::test {
namespace {

using testing::ElementsAre;
using testing_support::FailsWith;

TEST(ListBox, RemovingKeepsTheSelectionAndTheItemDataOnTheirEntries) {
    auto list = ListBox::Create();
    for (const char* text : {"a", "b", "c", "d"}) {
        list->AddItem(text);
        list->SetItemData(list->NewIndex(), list->NewIndex() + 10);
    }
    list->SetListIndex(2);  // "c"
    list->RemoveItem(1);    // just before the selection
    EXPECT_EQ(list->ListIndex(), 1);
    list->RemoveItem(2);  // after the selection
    EXPECT_EQ(list->ListIndex(), 1);
    EXPECT_EQ(list->List(1) + ":" + std::to_string(list->ItemData(1)), "c:12");
    list->RemoveItem(1);  // the selected one
    EXPECT_EQ(list->ListIndex(), -1);
    EXPECT_THAT([&] { list->RemoveItem(1); }, FailsWith(381));
    EXPECT_THAT([&] { list->SetListIndex(1); }, FailsWith(380));
    EXPECT_EQ(list->ListCount(), 1);
}

TEST(ListBox, OnlyTheUsersClickRaisesListClickAndNotOnAHiddenList) {
    auto list = ListBox::Create();
    list->SetName("LST_FIELDS");
    for (const char* text : {"a", "b", "c"}) list->AddItem(text);
    auto sink = com::MakeObject<EventLog>();
    com::EventConnection connection;
    ASSERT_TRUE(connection.Connect<IListBoxEvents>(static_cast<IControl*>(list.Get()), sink.Get()));
    list->SetListIndex(0);
    list->UserSelect(2);
    EXPECT_THAT(sink->events, ElementsAre("ListClick 2"));
    list->SetVisible(false);
    EXPECT_THAT([&] { list->UserSelect(0); },
                FailsWith(testing::_, testing::HasSubstr("LST_FIELDS")));
    EXPECT_EQ(list->ListIndex(), 2);
    EXPECT_EQ(sink->events.size(), 1u);
}

}  // namespace
}  // namespace ui::test
