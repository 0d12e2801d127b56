#include <gtest/gtest.h>

#include "platform/com/registry.h"
#include "platform/ui/control_state.h"
#include "tests/ui/test_window.h"

namespace ui::test {
namespace {

// A one-button toolbar element, built on the shared control state as the host's controls are.
class TestButton : public com::ComObject<TestButton, IControl, IPushButton> {
  public:
    static com::ComPtr<TestButton> Create(int16_t index, std::vector<int>& presses) {
        return com::ComPtr<TestButton>(new TestButton(index, presses));
    }
    std::string Name() override { return state_.Name(); }
    void SetName(const std::string& name) override { state_.SetName(name); }
    std::string Kind() override { return "toolbar"; }
    Rect Geometry() override { return state_.Geometry(); }
    void SetGeometry(const Rect& r) override { state_.SetGeometry(r); }
    bool Visible() override { return state_.Visible(); }
    void SetVisible(bool on) override { state_.SetVisible(on); }
    bool Enabled() override { return state_.Enabled(); }
    int AddObserver(std::function<void()> f) override { return state_.AddObserver(std::move(f)); }
    void RemoveObserver(int id) override { state_.RemoveObserver(id); }
    std::string Picture() override { return "right"; }
    int16_t ArrayIndex() override { return index_; }
    void UserPress() override { presses_.push_back(index_); }

  private:
    friend class com::ComObject<TestButton, IControl, IPushButton>;
    TestButton(int16_t index, std::vector<int>& presses) : index_(index), presses_(presses) {}
    ControlState state_;
    int16_t index_;
    std::vector<int>& presses_;
};

// Counts what the window tells its toolkit beyond showing and unloading.
class CountingToolkit : public HeadlessToolkit {
  public:
    void FormChanged(IForm&) override { ++changes; }
    void FocusRequested(IForm&) override { ++focusRequests; }
    int changes = 0, focusRequests = 0;
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
    EXPECT_EQ(window->hooks, (std::vector<std::string>{"Load", "Activate", "Activate"}));
    EXPECT_TRUE(window->Loaded());
    EXPECT_TRUE(window->Visible());
    EXPECT_EQ(toolkit.ActiveForm(), window.Get());
    EXPECT_EQ(toolkit.OpenForms().size(), 1u);
    EXPECT_EQ(window->Control("tvw_fields"), window->tree);  // names ignore letter case

    driver.Activate(*window);
    driver.Close(*window);
    EXPECT_EQ(window->hooks,
              (std::vector<std::string>{"Load", "Activate", "Activate", "Activate", "Unload"}));
    EXPECT_FALSE(window->Loaded());
    EXPECT_FALSE(window->Visible());
    EXPECT_TRUE(window->Controls().empty());
    EXPECT_TRUE(toolkit.OpenForms().empty());
    EXPECT_EQ(toolkit.ActiveForm(), nullptr);

    window->Unload();  // not loaded: nothing
    window->Activate();
    EXPECT_EQ(window->hooks.size(), 5u);
}

TEST_F(FormTest, AWindowThatUnloadsItselfWhileLoadingEndsUnloadedAndIsNeverShown) {
    window->unloadInLoad = true;
    window->Show();
    // The unload waits for the load to finish: the load still had its controls.
    EXPECT_EQ(window->hooks,
              (std::vector<std::string>{"Load", "Load continues with 2 controls", "Unload"}));
    EXPECT_FALSE(window->Loaded());
    EXPECT_TRUE(window->Controls().empty());
    EXPECT_TRUE(toolkit.OpenForms().empty());

    window->unloadInLoad = false;  // loading again is a new load
    window->Load();
    EXPECT_TRUE(window->Loaded());
    EXPECT_EQ(window->hooks.back(), "Load");
}

TEST_F(FormTest, ModalShowRunsTheQueuedActionsUntilTheWindowUnloads) {
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

TEST_F(FormTest, ModalShowFailsInsteadOfHangingWhenNoActionIsLeft) {
    auto error = ErrorOf([&] { window->Show(true); });
    EXPECT_TRUE(Contains(error.Description(), "FRM_TEST is still open")) << error.Description();
    EXPECT_TRUE(window->Loaded());
    EXPECT_TRUE(window->Modal());
    driver.Close(*window);
    EXPECT_FALSE(window->Modal());
}

TEST_F(FormTest, TheWindowTellsItsToolkitOfChangesOnlyWhileLoaded) {
    window->SetCaption("Prima");
    window->Move(0, 0, 100, 100);
    EXPECT_EQ(toolkit.changes, 0);
    window->Load();
    window->SetCaption("Gestione");
    window->SetWindowState(vbMaximized);
    window->Move(10, 20, 300, 400);
    EXPECT_EQ(toolkit.changes, 3);
    EXPECT_EQ(window->Geometry(), (Rect{10, 20, 300, 400}));
    EXPECT_EQ(ErrorOf([&] { window->SetWindowState(3); }).Number(), com::err::InvalidCall);
    EXPECT_EQ(window->WindowState(), vbMaximized);
}

TEST_F(FormTest, ControlsTakeTheFocusThroughTheirWindow) {
    window->Load();
    window->tree->SetFocus();
    EXPECT_EQ(window->FocusedControl(), "TVW_FIELDS");
    EXPECT_EQ(toolkit.focusRequests, 1);
    window->SetFocusTo("lst_fields");
    EXPECT_EQ(window->FocusedControl(), "LST_FIELDS");

    window->tree->SetEnabled(false);
    EXPECT_EQ(ErrorOf([&] { window->tree->SetFocus(); }).Number(), com::err::InvalidCall);
    EXPECT_TRUE(
        Contains(ErrorOf([&] { window->SetFocusTo("TXT_NONE"); }).Description(), "TXT_NONE"));
    EXPECT_EQ(window->FocusedControl(), "LST_FIELDS");

    auto tree = window->tree;  // outlives the window's hold on it
    window->Unload();
    tree->SetEnabled(true);
    tree->SetFocus();  // no window any more: nothing happens
    EXPECT_EQ(window->FocusedControl(), "");
}

TEST_F(FormTest, ControlsAreCreatedByProgramIdentifier) {
    com::RegisterLocalClass("DravelTest.ListBox", [] {
        return com::ComPtr<com::IUnknown>(ListBox::Create().As<com::IUnknown>());
    });
    com::RegisterLocalClass("DravelTest.NotAControl",
                            [] { return EventLog::Create().As<com::IUnknown>(); });
    window->Load();
    auto list = window->CreateControl<IListBox>("DravelTest.ListBox", "LST_OTHER");
    EXPECT_EQ(window->Control("LST_OTHER"), list.As<IControl>());
    EXPECT_EQ(
        ErrorOf([&] { window->CreateControl<IControl>("DravelTest.NotAControl", "X"); }).Number(),
        com::err::TypeMismatch);
    EXPECT_EQ(ErrorOf([&] { window->CreateControl<IControl>("DravelTest.Missing", "Y"); }).Number(),
              com::err::CannotCreateObject);
    EXPECT_EQ(window->Controls().size(), 3u);
    com::UnregisterLocalClass("DravelTest.ListBox");
    com::UnregisterLocalClass("DravelTest.NotAControl");
}

TEST_F(FormTest, TheDriverFindsControlsByNameAndKind) {
    std::vector<int> presses;
    window->Show();
    window->AddControl(TestButton::Create(0, presses), "TBAR_SELECT");
    window->AddControl(TestButton::Create(1, presses), "TBAR_SELECT");
    driver.PressToolbar(*window, "TBAR_SELECT", 1);
    driver.PressToolbar(*window, "TBAR_SELECT", 0);
    EXPECT_EQ(presses, (std::vector<int>{1, 0}));
    EXPECT_TRUE(Contains(
        ErrorOf([&] { driver.PressToolbar(*window, "TBAR_SELECT", 2); }).Description(), "index 2"));

    window->list->AddItem("Cliente");
    driver.SelectListEntry(*window, "LST_FIELDS", 0);
    EXPECT_EQ(window->list->ListIndex(), 0);

    EXPECT_TRUE(Contains(ErrorOf([&] { driver.Type(*window, "TXT_NONE", "x"); }).Description(),
                         "no control named TXT_NONE"));
    EXPECT_TRUE(Contains(ErrorOf([&] { driver.Type(*window, "TVW_FIELDS", "x"); }).Description(),
                         "TVW_FIELDS (tree) is not a text field"));
    EXPECT_TRUE(
        Contains(ErrorOf([&] { driver.SelectListEntry(*window, "TVW_FIELDS", 0); }).Description(),
                 "TVW_FIELDS"));
    EXPECT_TRUE(
        Contains(ErrorOf([&] { driver.PressToolbar(*window, "LST_FIELDS", 0); }).Description(),
                 "LST_FIELDS (list) is not a toolbar"));
    driver.Close(*window);
}

}  // namespace
}  // namespace ui::test
