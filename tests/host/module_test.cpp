// The module as a host meets it: loaded by program identifier and unloaded, and what it tells
// and lets go of the host.

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include "contracts/models.h"
#include "framework/log_service.h"
#include "platform/ado/watcher.h"
#include "platform/com/dispatch.h"
#include "tests/support/module_session.h"

namespace {

namespace fs = std::filesystem;
using host::Cinterface;
using testing_support::ModuleLibraryPath;
constexpr const char* kProgId = framework::kModuleProgId;

// The layout and script models of the test's own, handed to the module through the navigator as
// a host hands its models: they record what the module tells them.
class RecordingModels
    : public com::ComObject<RecordingModels, host::ILayoutModel, host::IScriptModel> {
  public:
    std::vector<com::Variant> titles;  // of the windows and grids, in the order registered
    std::map<std::string, com::ComPtr<com::IUnknown>> objects;  // by the names published under
    std::vector<com::Variant> closeNotices;                     // the menu entries' keys

    com::ComPtr<com::IUnknown> RegisterWindowLayout(const com::Variant& title,
                                                    com::IUnknown* window, int32_t, int32_t,
                                                    int32_t) override {
        titles.push_back(title);
        return window;
    }
    com::ComPtr<com::IUnknown> RegisterGridLayout(const com::Variant& title,
                                                  com::IUnknown* grid) override {
        titles.push_back(title);
        return grid;
    }
    com::ComPtr<com::IUnknown> AddScriptObject(const std::string& name, com::IUnknown* object,
                                               int32_t, const std::string&) override {
        objects[name] = object;
        return object;
    }
    com::Variant ScriptOpenNotice(const std::string&, int32_t, int32_t,
                                  const com::Variant&) override {
        return {};
    }
    com::Variant ScriptCloseNotice(const com::Variant& menuEntryKey) override {
        closeNotices.push_back(menuEntryKey);
        return {};
    }
};

// A failed creation's description.
auto Failure(const std::string& part) {
    return ::testing::ThrowsMessage<com::ComError>(::testing::HasSubstr(part));
}

TEST(ModuleLibrary, IsRegisteredCreatedByProgramIdentifierAndUnloaded) {
    testing_support::TestFolder folder;
    ASSERT_EQ(com::RegisterServer(ModuleLibraryPath()), com::S_OK);
    auto entry = com::Registry().Find(kProgId);
    ASSERT_TRUE(entry);
    EXPECT_EQ(fs::canonical(entry->library), fs::canonical(ModuleLibraryPath()));
    {
        auto module = com::CreateObjectAs<Cinterface>(kProgId);
        EXPECT_EQ(com::FreeUnusedLibraries(), 0);  // an instance keeps it loaded
    }
    EXPECT_EQ(com::FreeUnusedLibraries(), 1);

    ASSERT_EQ(com::UnregisterServer(ModuleLibraryPath()), com::S_OK);
    EXPECT_THAT([] { com::CreateObject(kProgId); }, Failure("not registered"));
    auto missing = *entry;
    missing.library = folder / "libmissing.so";
    com::Registry().Register(missing);
    EXPECT_THAT([] { com::CreateObject(kProgId); }, Failure("libmissing.so"));
}

class Module : public ::testing::Test {
  protected:
    testing_support::HeadlessUser user_;
    testing_support::ModuleSession m_;
};

// The module would ask the user whether to close its window for the change.
TEST_F(Module, ACompanyThatDoesNotExistIsRefusedBeforeTheModuleIsAsked) {
    m_.Open();
    EXPECT_THROW(m_.session->ChangeCompany(999), com::ComError);
    EXPECT_TRUE(user_.toolkit.Messages().empty());
    EXPECT_EQ(m_.session->Global().ActiveCompany()->CompanyCode(), com::Variant(1));
    EXPECT_TRUE(m_.session->Window());
}

TEST_F(Module, ANewModuleOrTheModulesEndClosesTheWindowStillOpen) {
    m_.End();  // none yet: nothing to do
    m_.Open();
    auto first = m_.session->Window();
    // The first module's window goes with its module; the new one has none yet.
    m_.session->CreateModule();
    EXPECT_FALSE(first->Loaded());
    EXPECT_FALSE(m_.session->Window());
    EXPECT_TRUE(user_.toolkit.OpenForms().empty());

    m_.session->ShowForm();
    auto second = m_.session->Window();
    ASSERT_TRUE(second);
    m_.End();
    EXPECT_FALSE(second->Loaded());
    EXPECT_FALSE(m_.session->Global().ActiveModule());
    EXPECT_TRUE(framework::ReadLogRecords(m_.LogFile()).empty());
    // Neither module is still held, by the navigator it heard or anything else: the library
    // unloads, and the navigator's events reach none of its code.
    first = second = nullptr;
    EXPECT_EQ(com::FreeUnusedLibraries(), 1);
    EXPECT_TRUE(m_.session->Navigator().RaiseBeforeChangeDitta());
}

TEST_F(Module, PublishesTheWindowToTheNavigatorOnlyWhileActive) {
    m_.Open();
    auto& navigator = m_.session->Navigator();
    auto exporter = m_.session->PrepareExportToOffice();
    EXPECT_EQ(com::GetProperty(exporter->GetUnknown(), "TitoloMaster"),
              com::Variant("FRM_MGQUINTAB"));
    auto models = com::MakeObject<RecordingModels>();
    navigator.RaiseInitializeLayoutObjectModel(models.Get());
    navigator.RaiseInitializeScriptObjectModel(models.Get());
    EXPECT_EQ(models->titles,
              (std::vector{com::Variant(framework::kModuleCaption),
                           com::Variant(std::string("Griglia ") + framework::kModuleCaption)}));
    ASSERT_TRUE(models->objects.count("FRM_MGQUINTAB"));
    EXPECT_TRUE(
        com::SameObject(models->objects["DTS_GestioneContropartite"].Get(), m_.Frame().Get()));

    // An inactive module leaves every event as it came, and asks nothing.
    m_.session->Module()->put_IsActive(com::VARIANT_FALSE);
    EXPECT_TRUE(navigator.RaiseBeforeChangeDitta());
    EXPECT_TRUE(navigator.RaiseButtonPressed(25));
    exporter = m_.session->PrepareExportToOffice();
    EXPECT_TRUE(com::GetProperty(exporter->GetUnknown(), "TitoloMaster").IsEmpty());
    models = com::MakeObject<RecordingModels>();
    navigator.RaiseInitializeLayoutObjectModel(models.Get());
    EXPECT_TRUE(models->titles.empty());
    EXPECT_EQ(user_.driver.UntakenMessages(), 0u);
}

// Without a menu entry the script model's close notice has no window to name, and fails.
TEST_F(Module, ClosingLetsGoOfTheHostEvenWhenTheCloseNoticeFails) {
    for (bool withMenuEntry : {true, false}) {
        SCOPED_TRACE(withMenuEntry);
        m_.Open();
        auto& navigator = m_.session->Navigator();
        auto scripts = com::MakeObject<RecordingModels>();
        navigator.SetScriptModel(scripts.Get());
        m_.session->InitializeScriptModel();
        if (!withMenuEntry)
            host::Put(m_.session->Module(), &Cinterface::putref_ClsVoceMenu,
                      static_cast<host::IMenuEntry*>(nullptr));

        m_.session->CloseForm();
        EXPECT_EQ(scripts->closeNotices, withMenuEntry ? std::vector{com::Variant("MG_QUINTAB")}
                                                       : std::vector<com::Variant>{});
        EXPECT_FALSE(navigator.ScriptModel());
        EXPECT_FALSE(navigator.LayoutModel());
        EXPECT_FALSE(m_.session->Global().ActiveModule());
        for (auto get : {&Cinterface::get_ActiveFrame, &Cinterface::get_Connection})
            EXPECT_FALSE(host::GetRef(m_.session->Module(), get));
        EXPECT_FALSE(host::GetRef(m_.session->Module(), &Cinterface::get_ActiveDll));
        EXPECT_TRUE(user_.toolkit.OpenForms().empty());
        m_.End();
    }
    // Nothing of the library is left alive.
    EXPECT_EQ(com::FreeUnusedLibraries(), 1);
}

// The module's window stays the module's while the matrix window is in front of it.
TEST_F(Module, TheMatrixWindowOpensOnTheCriteriaWindowsCurrentCriterion) {
    m_.Sql(
        "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
        "MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES (7, 1, 0, 1, 'Primo', 'CODA'), "
        "(8, 1, 0, 2, 'Secondo', 'INDC')");
    auto& window = m_.Open();
    user_.driver.SelectLine(window, "QGRID", 2);
    EXPECT_EQ(m_.session->CurrentCriterion(), 8);
    auto& matrix = m_.session->OpenMatrix();
    EXPECT_EQ(matrix.Criterion(), 8);
    EXPECT_EQ(user_.toolkit.ActiveForm(), static_cast<ui::IForm*>(&matrix));
    EXPECT_EQ(m_.session->Window().Get(), &window);
    user_.driver.Press(window, "INTERNAV", "Nuovo");
    EXPECT_EQ(m_.session->CurrentCriterion(), std::nullopt);
}

// A matrix row's checks (its criterion as stored, a row with the same values) read inside the
// transaction that writes it: another user's row cannot come in between.
TEST_F(Module, AMatrixRowIsCheckedAndWrittenInOneTransaction) {
    m_.Sql(
        "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
        "MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES (7, 1, 0, 1, 'Primo', 'CODA')");
    m_.Open();
    auto& matrix = m_.session->OpenMatrix(7);
    user_.driver.Press(matrix, "INTERNAV", "Nuovo");
    user_.driver.Type(matrix, "TXT_VALORE01", "A1");
    user_.driver.Type(matrix, "TXT_CONTO", "60");
    // B a transaction began, S a statement, W a row written back, C the commit.
    struct Order : ado::Watcher {
        std::string seen;
        void Began(ado::Connection&) override { seen += 'B'; }
        void BeforeStatement(ado::Connection&, const std::string&,
                             const std::vector<com::Variant>&) override {
            seen += 'S';
        }
        void RowWritten(ado::Connection&, const ado::WrittenRow&) override { seen += 'W'; }
        void BeforeCommit(ado::Connection&) override { seen += 'C'; }
    };
    auto order = std::make_shared<Order>();
    matrix.Database().SetWatcher(order);
    user_.driver.Press(matrix, "INTERNAV", "Conferma");
    EXPECT_THAT(order->seen, ::testing::MatchesRegex("BS+WS*C"));
}

}  // namespace
