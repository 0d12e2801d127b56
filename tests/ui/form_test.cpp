// Windows on the headless toolkit: their lifecycle, the modal loop, what they tell their toolkit,
// the focus, the active window, and the driver that finds their controls.

#include <gmock/gmock.h>

#include "tests/support/error_matchers.h"
#include "tests/ui/test_window.h"

namespace ui::test {
namespace {

using testing::HasSubstr;
using testing_support::FailsWith;

// Counts what the window tells its toolkit beyond showing and unloading.
class CountingToolkit : public HeadlessToolkit {
  public:
    void FormChanged(IForm&) override { ++changes; }
    int changes = 0;
};

class FormTest : public ::testing::Test {
  protected:
    CountingToolkit toolkit;
    ScopedToolkit installed{toolkit};
    Driver driver{toolkit};
    com::ComPtr<TestWindow> window = TestWindow::Create();
};

TEST_F(FormTest, ShowLoadsOnceActivatesEachTimeAndUnloadReleasesEverything) {
    window->Show();
    window->Show();
    EXPECT_EQ(toolkit.ActiveForm(), window.Get());
    EXPECT_EQ(window->Control("tvw_fields"), window->tree);  // names ignore letter case
    driver.Close(*window);
    EXPECT_THAT(window->hooks, testing::ElementsAre("Load", "Activate", "Activate", "Unload"));
    EXPECT_FALSE(window->Visible());
    EXPECT_TRUE(window->Controls().empty());
    EXPECT_TRUE(toolkit.OpenForms().empty());
    EXPECT_EQ(toolkit.ActiveForm(), nullptr);
    window->Unload();  // not loaded: nothing
    window->Activate();
    EXPECT_EQ(window->hooks.size(), 4u);
}

TEST_F(FormTest, ModalShowRunsTheQueuedActionsUntilTheWindowUnloadsAndNeverHangs) {
    EXPECT_THAT([&] { window->Show(true); },  // no action left: an error, not a hang
                FailsWith(testing::_, HasSubstr("FRM_TEST is still open")));
    EXPECT_TRUE(window->Modal());
    driver.Close(*window);
    EXPECT_FALSE(window->Modal());

    driver.Queue([&] {
        window->tree->Add("", "ART", "Dati Articoli");
        driver.SelectNode(*window, "TVW_FIELDS", "ART");
    });
    driver.Queue([&] { driver.Close(*window); });
    driver.Queue([] { FAIL() << "ran after the window had closed"; });
    window->Show(true);
    EXPECT_FALSE(window->Loaded());
    EXPECT_EQ(window->tree->SelectedItem()->key, "ART");
    EXPECT_EQ(toolkit.PendingActions(), 1u);
}

// A view redraws a window when told: of every change while it is loaded, of none before.
TEST_F(FormTest, TheWindowTellsItsToolkitOfChangesOnlyWhileLoadedAndFocusesOnlyWhatIsEnabled) {
    window->SetCaption("Prima");
    EXPECT_EQ(toolkit.changes, 0);
    window->Load();
    window->SetCaption("Gestione");
    window->Move(10, 20, 300, 400);
    EXPECT_EQ(toolkit.changes, 2);

    window->tree->SetFocus();
    EXPECT_EQ(window->FocusedControl(), "TVW_FIELDS");
    window->SetFocusTo("lst_fields");
    window->tree->SetEnabled(false);
    EXPECT_THAT([&] { window->tree->SetFocus(); }, FailsWith(com::err::InvalidCall));
    EXPECT_EQ(window->FocusedControl(), "LST_FIELDS");
}

// What a script's author reads when a step names the wrong control.
TEST_F(FormTest, TheDriverNamesTheControlItCannotUse) {
    window->Show();
    const struct {
        std::function<void()> step;
        const char* says;
    } cases[] = {
        {[&] { driver.Type(*window, "TXT_NONE", "x"); }, "no control named TXT_NONE"},
        {[&] { driver.Type(*window, "TVW_FIELDS", "x"); }, "TVW_FIELDS (tree) is not a text field"},
        {[&] { driver.SelectListEntry(*window, "TVW_FIELDS", 0); },
         "TVW_FIELDS (tree) is not a list"},
        {[&] { driver.PressToolbar(*window, "LST_FIELDS", 0); },
         "LST_FIELDS (list) is not a toolbar"},
        {[&] { driver.PressToolbar(*window, "TBAR_NONE", 0); }, "no control named TBAR_NONE"},
    };
    for (const auto& c : cases) EXPECT_THAT(c.step, FailsWith(testing::_, HasSubstr(c.says)));
    window->list->AddItem("Cliente");
    driver.SelectListEntry(*window, "LST_FIELDS", 0);
    EXPECT_EQ(window->list->ListIndex(), 0);
}

// A window activated by the driver without being shown leaves with its unload all the same, and
// one that is not loaded cannot be made active: no unload would take it back.
TEST_F(FormTest, TheActiveWindowIsNeverOneThatHasUnloaded) {
    auto loaded = TestWindow::Create();
    window->Show();
    loaded->Load();
    driver.Activate(*loaded);
    EXPECT_EQ(toolkit.ActiveForm(), loaded.Get());
    loaded->Unload();
    EXPECT_EQ(toolkit.ActiveForm(), window.Get());
    driver.Activate(*loaded);
    EXPECT_EQ(toolkit.ActiveForm(), window.Get());
    window->Unload();
    EXPECT_EQ(toolkit.ActiveForm(), nullptr);
}

}  // namespace
}  // namespace ui::test
