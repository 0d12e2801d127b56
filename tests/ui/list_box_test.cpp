#include <gtest/gtest.h>

#include "tests/ui/test_window.h"

namespace ui::test {
namespace {

com::ComPtr<ListBox> ListOf(const std::vector<std::string>& texts) {
    auto list = ListBox::Create();
    list->SetName("LST_FIELDS");
    for (const auto& t : texts) {
        list->AddItem(t);
        list->SetItemData(list->NewIndex(), static_cast<int32_t>(list->NewIndex() + 10));
    }
    return list;
}

std::vector<std::string> Texts(ListBox& list) {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < list.ListCount(); ++i) texts.push_back(list.List(i));
    return texts;
}

TEST(ListBox, AppendsWithItemDataAndTellsWhereTheNewEntryWent) {
    auto list = ListBox::Create();
    EXPECT_EQ(list->ListIndex(), -1);
    EXPECT_EQ(list->NewIndex(), -1);
    list->AddItem("Codice articolo");
    list->SetItemData(list->NewIndex(), 2);
    list->AddItem("Cliente");
    EXPECT_EQ(list->NewIndex(), 1);
    list->SetItemData(1, 12);
    EXPECT_EQ(list->ListCount(), 2);
    EXPECT_EQ(list->List(1), "Cliente");
    EXPECT_EQ(list->ItemData(0), 2);
    EXPECT_EQ(list->ItemData(1), 12);
    list->SetList(0, "Cliente");
    EXPECT_EQ(Texts(*list), (std::vector<std::string>{"Cliente", "Cliente"}));
}

TEST(ListBox, RemovingKeepsTheSelectionOnItsEntry) {
    auto list = ListOf({"a", "b", "c", "d"});
    list->SetListIndex(2);  // "c"
    list->RemoveItem(0);
    EXPECT_EQ(list->ListIndex(), 1);
    EXPECT_EQ(list->List(list->ListIndex()), "c");
    EXPECT_EQ(list->ItemData(1), 12);  // item data travels with its entry
    EXPECT_EQ(list->NewIndex(), -1);
    list->RemoveItem(2);  // after the selection
    EXPECT_EQ(list->ListIndex(), 1);
    list->RemoveItem(1);  // the selected one
    EXPECT_EQ(list->ListIndex(), -1);
    EXPECT_EQ(Texts(*list), (std::vector<std::string>{"b"}));
    list->Clear();
    EXPECT_EQ(list->ListCount(), 0);
}

TEST(ListBox, OutOfRangePositionsFailWithTheirNumbersAndChangeNothing) {
    auto list = ListOf({"a", "b"});
    list->SetListIndex(1);
    EXPECT_EQ(ErrorOf([&] { list->SetListIndex(2); }).Number(), 380);
    EXPECT_EQ(ErrorOf([&] { list->SetListIndex(-2); }).Number(), 380);
    EXPECT_EQ(list->ListIndex(), 1);
    EXPECT_EQ(ErrorOf([&] { list->List(2); }).Number(), 381);
    EXPECT_EQ(ErrorOf([&] { list->SetList(-1, "x"); }).Number(), 381);
    EXPECT_EQ(ErrorOf([&] { list->ItemData(5); }).Number(), 381);
    EXPECT_EQ(ErrorOf([&] { list->SetItemData(2, 1); }).Number(), 381);
    EXPECT_EQ(ErrorOf([&] { list->RemoveItem(2); }).Number(), 381);
    EXPECT_EQ(Texts(*list), (std::vector<std::string>{"a", "b"}));
    list->SetListIndex(-1);
    EXPECT_EQ(list->ListIndex(), -1);
}

TEST(ListBox, OnlyTheUsersClickRaisesListClick) {
    auto list = ListOf({"a", "b", "c"});
    auto sink = EventLog::Create();
    com::EventConnection connection;
    ASSERT_TRUE(connection.Connect<IListBoxEvents>(static_cast<IControl*>(list.Get()), sink.Get()));
    int changes = 0;
    list->AddObserver([&] { ++changes; });

    list->SetListIndex(0);
    EXPECT_TRUE(sink->events.empty());
    list->UserSelect(2);
    EXPECT_EQ(sink->events, (std::vector<std::string>{"ListClick 2"}));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(ErrorOf([&] { list->UserSelect(3); }).Number(), 381);
    EXPECT_EQ(list->ListIndex(), 2);

    list->SetVisible(false);
    EXPECT_TRUE(Contains(ErrorOf([&] { list->UserSelect(0); }).Description(), "LST_FIELDS"));
    EXPECT_EQ(sink->events.size(), 1u);
}

}  // namespace
}  // namespace ui::test
