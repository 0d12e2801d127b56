// Loading, first activation, the navigation bar's "Esporta", the description refresh and the
// failures of the window's own lifecycle.

#include "framework/controls/mdi_host.h"
#include "framework/global_object.h"
#include "framework/navigator.h"
#include "framework/script_model.h"
#include "framework/text_service.h"
#include "tests/window/window_fixture.h"

namespace {

using test::Criterion;

class WindowLifecycle : public test::WindowTest {
  protected:
    void SeedCriteria() {
        AddCriterion(kCompany, {1, 0, 1, "Primo", "CODA"});
        AddCriterion(kCompany, {2, 0, 2, "Secondo", "CODAINDC"});
        AddCriterion(kCompany, {3, 1, 1, "Reso uno", "INDC"});
        AddCriterion(kCompany, {4, 7, 1, "Differenze", "CODA"});
        AddCriterion(kCompany, {5, 2, 1, "Vecchio", "CODA"});
        AddCriterion(kOtherCompany, {9, 0, 1, "Altra ditta", "CODA"});
    }
};

TEST_P(WindowLifecycle, OpensOnTheCompanysCriteriaWithTheEditorFilled) {
    SeedCriteria();
    Open();

    // Only this company's rows, by type then priority, with the short type labels; a code
    // outside the table shows as it is stored.
    EXPECT_EQ(GridLines(), (std::vector<std::vector<std::string>>{
                               {"1", "Ven/Acq", "Primo"},
                               {"2", "Ven/Acq", "Secondo"},
                               {"1", "Reso", "Reso uno"},
                               {"1", "2", "Vecchio"},
                               {"1", "Diff. pr. mat.", "Differenze"},
                           }));
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->ColumnCaptions(),
              (std::vector<std::string>{"Priorità", "Tipo", "Descrizione"}));

    // The catalogue: 4 groups and 53 attributes, groups expanded, bold and grey, the first
    // node scrolled into view.
    ASSERT_EQ(Tree().Count(), 57);
    int groups = 0;
    for (int32_t i = 1; i <= Tree().Count(); ++i) {
        auto& node = Tree().Node(i);
        if (node.parent) continue;
        ++groups;
        EXPECT_TRUE(node.bold && node.expanded) << node.key;
        EXPECT_EQ(node.foreColor, ui::Rgb(132, 132, 132)) << node.key;
    }
    EXPECT_EQ(groups, 4);
    EXPECT_EQ(Tree().Node(12).key, "INDC");
    EXPECT_EQ(Tree().FirstVisible(), 1);

    // The first row's structure is in the list and marked in the tree; moving follows.
    EXPECT_EQ(ListTexts(), std::vector<std::string>{"Codice articolo"});
    EXPECT_TRUE(Tree().Find("CODA")->bold);
    SelectLine(2);
    EXPECT_EQ(ListTexts(), (std::vector<std::string>{"Codice articolo", "Cliente"}));
    EXPECT_EQ(List().ItemData(1), 12);
    EXPECT_TRUE(Tree().Find("INDC")->bold);

    auto& navigator = session_->Navigator();
    EXPECT_EQ(navigator.LastFrameStatus(), std::optional<int16_t>(0));
    EXPECT_EQ(navigator.OpenedCount(), 1);
    EXPECT_EQ(navigator.ShownCount(), 1);

    // A later activation republishes the host state but builds nothing again.
    driver_.Activate(Window());
    EXPECT_EQ(Tree().Count(), 57);
    EXPECT_EQ(navigator.OpenedCount(), 1);
    EXPECT_EQ(navigator.ShownCount(), 1);
}

TEST_P(WindowLifecycle, TheTypeComboOffersTheAccountTypesOnlyWhereTheCompanyKeepsThem) {
    std::vector<std::string> four = {"Documenti Vendite / Acquisti", "Documenti Resi",
                                     "Rimanenze finali Economiche",
                                     "Rimanenze finali Patrimoniali"};
    auto seven = four;
    seven.insert(seven.end(),
                 {"Conto magazzino", "Conto diff. prezzo materiali", "Conto costo venduto"});

    Open(kCompany);
    EXPECT_EQ(Control<ui::IChoiceInput>("CBO_TIPO")->Labels(), seven);
    session_->CloseForm();

    Open(kOtherCompany);
    EXPECT_EQ(Control<ui::IChoiceInput>("CBO_TIPO")->Labels(), four);
}

TEST_P(WindowLifecycle, TheContainerTakesTheWindowInWithTheHostsWindowState) {
    framework::ModuleSettings settings;
    settings.windowState = ui::vbMaximized;
    Open(kCompany, settings);
    auto& mdi = *static_cast<framework::MdiHost*>(Control<host::IMdiHost>("MDIActiveX1").Get());
    EXPECT_EQ(mdi.TakenIn(), 1);
    EXPECT_EQ(mdi.WindowPlacement().width, 8760);
    EXPECT_EQ(mdi.WindowPlacement().height, 7605);
    EXPECT_EQ(mdi.ContainerWindowState(), ui::vbMaximized);
    EXPECT_FALSE(mdi.ShowInTaskList() || mdi.AutoMaximize());
    EXPECT_TRUE(LogRecords().empty());
}

TEST_P(WindowLifecycle, ClosingTellsTheHostAndLetsGoOfEverything) {
    SeedCriteria();
    Open();
    auto& navigator = session_->Navigator();
    auto script = navigator.ScriptModel();
    auto& scripts = *static_cast<framework::ScriptModel*>(script.Get());
    ASSERT_EQ(scripts.OpenNotices().size(), 1u);
    EXPECT_EQ(scripts.OpenNotices()[0].windowName, "FRM_MGQUINTAB");
    EXPECT_TRUE(com::SameObject(session_->Global().ActiveModule().Get(), session_->Module()));

    session_->CloseForm();
    EXPECT_EQ(scripts.CloseNotices(), std::vector<com::Variant>{com::Variant("MG_QUINTAB")});
    EXPECT_FALSE(navigator.ScriptModel());
    EXPECT_FALSE(navigator.LayoutModel());
    EXPECT_FALSE(session_->Global().ActiveModule());
    EXPECT_FALSE(host::GetRef(session_->Module(), &host::Cinterface::get_ActiveFrame));
    EXPECT_FALSE(host::GetRef(session_->Module(), &host::Cinterface::get_ActiveDll));
    EXPECT_TRUE(toolkit_.OpenForms().empty());
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
}

TEST_P(WindowLifecycle, ClosingLetsGoOfTheScriptModelEvenWhenItsCloseNoticeFails) {
    Open();
    auto& navigator = session_->Navigator();
    auto script = navigator.ScriptModel();
    auto& scripts = *static_cast<framework::ScriptModel*>(script.Get());
    // The model now holds the window and its record frame.
    navigator.RaiseInitializeScriptObjectModel(script.Get());
    ASSERT_FALSE(scripts.Objects().empty());
    // Without a menu entry the close notice cannot be sent.
    host::Put(session_->Module(), &host::Cinterface::putref_ClsVoceMenu,
              static_cast<host::IMenuEntry*>(nullptr));

    session_->CloseForm();
    EXPECT_TRUE(scripts.CloseNotices().empty());
    EXPECT_FALSE(navigator.ScriptModel());
    EXPECT_FALSE(navigator.LayoutModel());
    EXPECT_FALSE(session_->Global().ActiveModule());
    EXPECT_TRUE(toolkit_.OpenForms().empty());
}

TEST_P(WindowLifecycle, ExportHandsTheStructureToTheHostAndCloses) {
    SeedCriteria();
    Open();
    SelectLine(2);
    Press("Esporta");

    ASSERT_EQ(session_->Transfers().size(), 1u);
    const auto& data = session_->Transfers()[0];
    ASSERT_TRUE(data.IsArray());
    EXPECT_EQ(data.ToArray(), com::VariantArray{com::Variant("CODAINDC")});
    EXPECT_FALSE(Window().Loaded());
    EXPECT_TRUE(toolkit_.OpenForms().empty());
    // The window let go of the module: one instance serves one window.
    EXPECT_FALSE(host::GetRef(session_->Module(), &host::Cinterface::get_ActiveDll));
    EXPECT_FALSE(host::GetRef(session_->Module(), &host::Cinterface::get_Connection));
}

TEST_P(WindowLifecycle, ExportOfARowThatCannotBeSavedTransfersNothingAndStays) {
    SeedCriteria();
    Open();
    RemoveWithButton("Codice articolo");
    ASSERT_EQ(Text("TXT_STRUT"), "");
    Press("Esporta");

    // The frame refused the row with the window's message and the tree took the focus.
    const auto& message = driver_.TakeMessage();
    EXPECT_EQ(message.text, "Obbligatorio scegliere un campo !!");
    EXPECT_EQ(Window().FocusedControl(), "TVW_FIELDS");
    EXPECT_TRUE(session_->Transfers().empty());
    EXPECT_TRUE(Window().Loaded());
    EXPECT_EQ(Stored()[0].structure, "CODA");
}

TEST_P(WindowLifecycle, RefreshComposesTheDescriptionWithoutMarkingTheRow) {
    SeedCriteria();
    Open();
    SelectLine(2);
    PressToolbar("TBR_REFRESH", 0);
    EXPECT_EQ(Text("TXT_DESCR"), "Codice articolo, Cliente");
    EXPECT_FALSE(Frame()->Modified());

    SelectLine(1);
    PressToolbar("TBR_REFRESH", 0);
    EXPECT_EQ(Text("TXT_DESCR"), "Codice articolo");
    EXPECT_EQ(Stored()[0].description, "Primo");
}

TEST_P(WindowLifecycle, ANavigationEventThatIsNotTrueOrNotAnExactKeyDoesNothing) {
    SeedCriteria();
    Open();
    // The window is the bar's sink; call it the way the bar does.
    auto window = com::QueryAs<host::INavBarEvents>(&Window());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->ButtonAction(0, "Esporta"), com::S_OK);
    EXPECT_EQ(window->ButtonAction(-1, "esporta"), com::S_OK);
    EXPECT_TRUE(Window().Loaded());
    EXPECT_TRUE(session_->Transfers().empty());
}

TEST_P(WindowLifecycle, AFailureWhileOpeningTheConnectionIsLoggedAndTheWindowUnloads) {
    // A host whose database information names a folder that does not exist.
    auto missing = db::SqliteConnectionString(std::filesystem::path(LogFile()).parent_path() /
                                              "missing" / "criteri.sqlite");
    auto global = framework::GlobalObject::Create(missing, framework::TextService::Create());
    global->SetActiveCompany(framework::Company::Load(session_->Database(), kCompany));
    auto navigator = framework::Navigator::Create();
    auto module = com::CreateObjectAs<host::Cinterface>(framework::kModuleProgId);
    host::Put(module.Get(), &host::Cinterface::putref_ClsGlobal,
              static_cast<host::IGlobal*>(global.Get()));
    host::Put(module.Get(), &host::Cinterface::putref_ActiveNavigator,
              static_cast<host::INavigator*>(navigator.Get()));
    host::Put(module.Get(), &host::Cinterface::put_Caption, com::Variant(kCaption));
    host::Put(module.Get(), &host::Cinterface::put_IsActive, com::VARIANT_TRUE);

    com::Variant result;
    EXPECT_EQ(module->ShowForm(&result), com::S_OK);

    auto records = LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]["procedure"], "Form_Load");
    EXPECT_EQ(records[0]["source"], "FRM_MGQUINTAB");
    EXPECT_EQ(records[0]["code"], "0_0_0_0");
    EXPECT_NE(records[0]["number"], 0);
    EXPECT_TRUE(toolkit_.OpenForms().empty());
    EXPECT_TRUE(toolkit_.Messages().empty());
    EXPECT_EQ(navigator->OpenedCount(), 0);

    ASSERT_EQ(module->CloseForm(&result), com::S_OK);
    EXPECT_EQ(result, com::Variant(true));
}

DRAVEL_ON_EACH_BACKEND(WindowLifecycle);

}  // namespace
