// Adding and removing attributes: chains with their upper and lower levels, the refusals and
// their messages, the room left in the structure.

#include "tests/window/window_fixture.h"

namespace {

class AttributeRules : public test::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        AddCriterion(kCompany, {1, 0, 1, "Cliente", "INDC"});
        AddCriterion(kCompany, {2, 0, 2, "Dieci", "CODATPPDMARCCPA1CPA2DOCUCSEZDESFCONCAGEC"});
        AddCriterion(kCompany, {3, 0, 3, "Sette", "CODATPPDMARCCPA1CPA2DOCUCSEZ"});
        AddCriterion(kOtherCompany, {9, 0, 1, "Altra", "CODA"});
    }

    // Starts a new criterion: an empty structure on a row of posting type 0.
    void NewRow(int32_t type = 0) {
        Press("Nuovo");
        if (type != 0) driver_.Choose(Window(), "CBO_TIPO", com::Variant(type));
    }

    // The one message the last action showed.
    void ExpectRefusal(const std::string& text, int32_t flags, const std::string& title) {
        ASSERT_EQ(driver_.UntakenMessages(), 1u);
        const auto& m = driver_.TakeMessage();
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.flags, flags);
        EXPECT_EQ(m.title, title);
    }

    bool Bold(const std::string& key) { return Tree().Find(key)->bold; }
};

TEST_P(AttributeRules, AChainComesWithItsUpperLevelsAndGoesWithItsLowerOnes) {
    Open();
    NewRow();
    AddByDoubleClick("STCC");
    EXPECT_EQ(ListTexts(),
              (std::vector<std::string>{"Macrocategoria", "Categoria", "Sottocategoria"}));
    EXPECT_EQ(Text("TXT_STRUT"), "MACCCATCSTCC");
    EXPECT_EQ(Text("TXT_DESCR"), "Macrocategoria, Categoria, Sottocategoria");
    EXPECT_EQ(List().ListIndex(), 2);
    EXPECT_TRUE(Bold("MACC") && Bold("CATC") && Bold("STCC"));
    EXPECT_TRUE(Frame()->Modified());
    EXPECT_TRUE(Window().Control("INTERNAV").As<host::INavBar>()->ChangesPending());

    // Removing the middle level takes the one below it along.
    RemoveWithButton("Categoria");
    EXPECT_EQ(Text("TXT_STRUT"), "MACC");
    EXPECT_FALSE(Bold("CATC") || Bold("STCC"));
    EXPECT_EQ(List().ListIndex(), 0);

    AddByDoubleClick("STCC");
    RemoveWithButton("Macrocategoria");
    EXPECT_TRUE(ListTexts().empty());
    EXPECT_EQ(Text("TXT_STRUT"), "");
    // Lower levels go first, each rebuilding; the description keeps the last text composed.
    EXPECT_EQ(Text("TXT_DESCR"), "Macrocategoria");
    EXPECT_EQ(List().ListIndex(), -1);
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
}

TEST_P(AttributeRules, ItemClassesChainOnlyWhereTheCompanyNestsThem) {
    Open(kCompany);
    NewRow();
    AddByDoubleClick("SGRU");
    EXPECT_EQ(Text("TXT_STRUT"), "FAMISFAMGRUPSGRU");
    RemoveWithButton("Famiglia");
    EXPECT_TRUE(ListTexts().empty());
    session_->CloseForm();

    Open(kOtherCompany);
    NewRow();
    AddByDoubleClick("SGRU");
    EXPECT_EQ(Text("TXT_STRUT"), "SGRU");
    AddByDoubleClick("FAMI");
    RemoveWithButton("Famiglia");
    EXPECT_EQ(ListTexts(), std::vector<std::string>{"Sottogruppo"});
}

TEST_P(AttributeRules, CustomerAndSupplierAttributesAreNeverMixed) {
    Open();
    SelectLine(1);  // INDC listed
    AddByDoubleClick("CODF");
    ExpectRefusal("Non possono essere selezionati contemporaneamente attributi cliente e fornitore",
                  64, kCaption);
    EXPECT_EQ(Text("TXT_STRUT"), "INDC");
    EXPECT_FALSE(Bold("CODF"));
    EXPECT_FALSE(Frame()->Modified());

    // Item and document attributes go with either; on an existing row the description stays.
    AddByDoubleClick("CODA");
    AddByDoubleClick("DOCU");
    EXPECT_EQ(Text("TXT_STRUT"), "INDCCODADOCU");
    EXPECT_EQ(Text("TXT_DESCR"), "Cliente");
}

TEST_P(AttributeRules, ClosingInventoryTypesTakeOnlyItemAttributesAndTheWarehouse) {
    Open();
    NewRow(4);
    for (const char* key : {"INDC", "INDF", "DOCU"}) {
        AddByDoubleClick(key);
        ExpectRefusal("Attributo non accettabile per il tipo rimanenze finali economiche.", 48,
                      kCaption);
    }
    AddByDoubleClick("CODA");
    AddByDoubleClick("SGRU");
    AddByDoubleClick("DEPO");
    EXPECT_EQ(Text("TXT_STRUT"), "CODAFAMISFAMGRUPSGRUDEPO");
    Press("Annulla");

    NewRow(5);
    AddByDoubleClick("DOCU");
    ExpectRefusal("Attributo non accettabile per il tipo rimanenze finali patrimoniali.", 48,
                  kCaption);
    EXPECT_TRUE(ListTexts().empty());
}

TEST_P(AttributeRules, TheStructureHoldsTenFieldsAndKeepsRoomForUpperLevels) {
    Open();
    SelectLine(2);  // ten fields
    AddByDoubleClick("SEDC");
    ExpectRefusal("Superato il numero massimo di campi ammessi", 48, "");
    EXPECT_EQ(List().ListCount(), 10);

    SelectLine(3);  // seven fields: no room for a lowest item level, even one place short
    AddByDoubleClick("SGRU");
    ExpectRefusal("Superato il numero massimo di campi ammessi", 48, "");
    EXPECT_EQ(List().ListCount(), 7);
    AddByDoubleClick("ZONC");  // needs three places, finds three
    EXPECT_EQ(List().ListCount(), 10);
    EXPECT_EQ(Text("TXT_STRUT"), "CODATPPDMARCCPA1CPA2DOCUCSEZMCRCARECZONC");
}

TEST_P(AttributeRules, GroupsAndListedAttributesAreIgnoredSilently) {
    Open();
    SelectLine(1);
    AddByDoubleClick("CLI");
    AddByDoubleClick("INDC");
    driver_.SelectNode(Window(), "TVW_FIELDS", "INDC");
    PressToolbar("TBAR_SELECT", 0);
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
    EXPECT_EQ(Text("TXT_STRUT"), "INDC");
    EXPECT_FALSE(Frame()->Modified());

    driver_.SelectNode(Window(), "TVW_FIELDS", "CODC");
    PressToolbar("TBAR_SELECT", 0);
    EXPECT_EQ(Text("TXT_STRUT"), "INDCCODC");
}

DRAVEL_ON_EACH_BACKEND(AttributeRules);

}  // namespace
