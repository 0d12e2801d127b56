#include <gtest/gtest.h>

#include "framework/message_catalogue.h"
#include "framework/text_service.h"
#include "platform/ui/headless.h"

using framework::MessageCatalogue;

namespace {

std::string ParseError(std::string_view text) {
    try {
        MessageCatalogue::Parse(text, "test.po");
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.Number(), com::err::InvalidCall);
        return e.Description();
    }
    return "";
}

}  // namespace

TEST(MessageCatalogue, ReadsEntriesContinuationsAndEscapes) {
    auto cat = MessageCatalogue::Parse(R"(# comment
msgid ""
msgstr "Content-Type: text/plain; charset=UTF-8\n"

msgid "Priorità"
msgstr "Priority"

msgid "Riga "
"lunga"
msgstr "Long "
  "line \"quoted\"\tand\\more"

#, fuzzy
msgid "Incerto"
msgstr "Unsure"

msgid "Vuoto"
msgstr ""
)",
                                       "test.po");
    EXPECT_EQ(cat.Size(), 2u);
    EXPECT_EQ(cat.Find("Priorità"), "Priority");
    EXPECT_EQ(cat.Find("Riga lunga"), "Long line \"quoted\"\tand\\more");
    // Fuzzy and untranslated entries are not translations; the header is not one either.
    EXPECT_EQ(cat.Find("Incerto"), std::nullopt);
    EXPECT_EQ(cat.Find("Vuoto"), std::nullopt);
    EXPECT_EQ(cat.Find(""), std::nullopt);
}

TEST(MessageCatalogue, MalformedLinesNameTheFileAndLine) {
    EXPECT_EQ(ParseError("msgid \"a\"\nmsgstr \"b\nmsgid \"c\"\nmsgstr \"d\"\n"),
              "test.po:2: expected a text in double quotes, found: \"b");
    EXPECT_EQ(ParseError("msgid \"a\"\nmsgstr \"b\"\nmsgtxt \"c\"\n"),
              "test.po:3: expected msgid, msgstr, a quoted text or a comment, found: msgtxt \"c\"");
    EXPECT_EQ(ParseError("msgstr \"b\"\n"), "test.po:1: msgstr without msgid");
    EXPECT_EQ(ParseError("msgid \"a\"\n\nmsgid \"b\"\nmsgstr \"c\"\n"),
              "test.po:3: msgid follows msgid without msgstr");
    EXPECT_EQ(ParseError("msgid \"a\"\n"), "test.po:2: msgid without msgstr");
    EXPECT_EQ(ParseError("msgid \"a\\q\"\nmsgstr \"b\"\n"), "test.po:1: unknown escape \\q");
    EXPECT_EQ(ParseError("msgid \"a\"\nmsgstr \"b\"\n\nmsgid \"a\"\nmsgstr \"c\"\n"),
              "test.po:4: duplicate msgid \"a\"");
    EXPECT_EQ(ParseError("msgctxt \"x\"\nmsgid \"a\"\nmsgstr \"b\"\n"),
              "test.po:1: unsupported keyword msgctxt");
    EXPECT_EQ(ParseError("\"loose\"\n"), "test.po:1: text without msgid or msgstr before it");
}

TEST(TextService, ShowsSourceTextsUnlessEnglishIsChosen) {
    auto texts = framework::TextService::Create();
    std::string priority = "Priorità", unknown = "Testo senza traduzione";
    EXPECT_EQ(texts->Language(), "it");
    EXPECT_EQ(texts->TranslateText(priority), "Priorità");

    texts->SetLanguage("en");
    EXPECT_EQ(texts->TranslateText(priority), "Priority");
    EXPECT_EQ(texts->TranslateText(unknown), unknown);
    EXPECT_EQ(priority, "Priorità");  // the caller's text is not changed

    EXPECT_THROW(texts->SetLanguage("de"), com::ComError);
    EXPECT_EQ(texts->Language(), "en");
    texts->SetLanguage("it");
    EXPECT_EQ(texts->TranslateText(priority), "Priorità");
}

// Every text the module shows from code has an English translation.
TEST(TextService, EnglishCatalogueCoversTheModulesTexts) {
    const char* texts[] = {
        // posting types, long and short
        "Documenti Vendite / Acquisti",
        "Documenti Resi",
        "Rimanenze finali Economiche",
        "Rimanenze finali Patrimoniali",
        "Conto magazzino",
        "Conto diff. prezzo materiali",
        "Conto costo venduto",
        "Ven/Acq",
        "Reso",
        "Rim.Econom.",
        "Rim.Patrim.",
        "Magazzino",
        "Diff. pr. mat.",
        "Costo vend.",
        // attribute groups and attributes
        "Dati Articoli",
        "Dati clienti",
        "Dati Fornitore",
        "Dati documento",
        "Codice articolo",
        "Tipo prodotto",
        "Codice marca",
        "Famiglia",
        "Sottofamiglia",
        "Gruppo",
        "Sottogruppo",
        "Indice contabile articolo 1",
        "Indice contabile articolo 2",
        "Cliente",
        "Codice Cliente",
        "Intermedio",
        "Sede",
        "Raggruppo 1",
        "Raggruppo 2",
        "Raggruppo 3",
        "Macroarea",
        "Area",
        "Zona",
        "Macrocategoria",
        "Categoria",
        "Sottocategoria",
        "Indice contabile cliente",
        "Intergruppo",
        "Fornitore",
        "Codice fornitore",
        "Indice contabile fornitore",
        "Codice documento",
        "Tipi documento",
        "Sottotipo documento",
        "Codice sezionale",
        "Destinazione preferenziale",
        "Condizioni di pagamento",
        "Agente preferenziale (Testata)",
        "Deposito (Riga)",
        "Codice progetto (Riga)",
        "Codice fase",
        "Categoria fase",
        "Divisione commerciale",
        "Stagione",
        "Causale prest. prof.",
        // messages and titles
        "Il cambio ditta comporta la chiusura del programma, proseguo ?",
        "Il collegamento ai dati multimediali è possibile solamente in fase di variazione",
        "Avviso Utente",
        "Eliminare tutti i conti collagati con questo criterio?",
        "Elimina riga",
        "Non possono essere selezionati contemporaneamente attributi cliente e fornitore",
        "Attributo non accettabile per il tipo rimanenze finali economiche.",
        "Attributo non accettabile per il tipo rimanenze finali patrimoniali.",
        "Superato il numero massimo di campi ammessi",
        // grid, fields, navigation bar
        "Priorità",
        "Tipo",
        "Descrizione",
        "Obbligatorio scegliere un campo !!",
        "Nuovo",
        "Conferma",
        "Annulla",
        "Elimina",
        "Avanti",
        "Indietro",
        "Esporta",
        "Gestione determinazione contropartite",
    };
    const auto& english = framework::EnglishCatalogue();
    for (const char* text : texts) EXPECT_TRUE(english.Find(text).has_value()) << text;
}

TEST(TextService, TextMessageBoxGoesToThePlatformMessageBox) {
    ui::HeadlessToolkit toolkit;
    ui::ScopedToolkit scope(toolkit);
    toolkit.ExpectMessage(ui::mb::AnswerNo, ui::HeadlessToolkit::TextMatch::Exact, "Domanda?");
    auto texts = framework::TextService::Create();
    EXPECT_EQ(texts->TextMessageBox("Domanda?", ui::mb::YesNo, "Titolo", nullptr),
              ui::mb::AnswerNo);
    ASSERT_EQ(toolkit.Messages().size(), 1u);
    EXPECT_EQ(toolkit.Messages()[0].flags, ui::mb::YesNo);
    EXPECT_EQ(toolkit.Messages()[0].title, "Titolo");
}
