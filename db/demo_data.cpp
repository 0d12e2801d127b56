#include "db/demo_data.h"

#include "db/schema.h"
#include "platform/ado/recordset.h"
#include "platform/ado/transaction.h"

namespace db {

namespace {

struct Company {
    int32_t code;
    const char* name;
    int32_t accountTypes;  // which posting types the company offers
    int32_t nestedItemClasses;
};

// Company 1 offers all seven posting types and links the item classes; company 2 neither,
// yet holds a warehouse-account criterion that its list still shows.
constexpr Company kCompanies[] = {
    {1, "Ferramenta Lombarda S.p.A.", 1, 1},
    {2, "Cantina Colli Berici S.r.l.", 2, 0},
};

struct Criterion {
    int32_t id;
    int32_t company;
    int32_t type;
    int32_t priority;
    const char* structure;
    const char* description;  // the captions of the structure's attributes
    int32_t media;            // 0: none
};

constexpr Criterion kCriteria[] = {
    {1, 1, 0, 1, "INDCCODA", "Cliente, Codice articolo", 0},
    {2, 1, 0, 2, "MACCCATCFAMISFAM", "Macrocategoria, Categoria, Famiglia, Sottofamiglia", 0},
    {3, 1, 0, 3, "INDFFAMI", "Fornitore, Famiglia", 0},
    {4, 1, 0, 4, "TIPOSTIPCPA1", "Tipi documento, Sottotipo documento, Indice contabile articolo 1",
     1},
    {5, 1, 1, 1, "CODCCODA", "Codice Cliente, Codice articolo", 0},
    {6, 1, 1, 2, "MCRCARECZONC", "Macroarea, Area, Zona", 0},
    {7, 1, 4, 1, "CODADEPO", "Codice articolo, Deposito (Riga)", 0},
    {8, 1, 4, 2, "FAMISFAMGRUP", "Famiglia, Sottofamiglia, Gruppo", 0},
    {9, 1, 5, 1, "MARCDEPO", "Codice marca, Deposito (Riga)", 0},
    {10, 1, 5, 2, "TPPD", "Tipo prodotto", 0},
    {11, 1, 6, 1, "DEPOCODA", "Deposito (Riga), Codice articolo", 0},
    {12, 1, 7, 1, "CPA1CPA2", "Indice contabile articolo 1, Indice contabile articolo 2", 0},
    {13, 1, 8, 1, "CPA1DIVC", "Indice contabile articolo 1, Divisione commerciale", 0},
    {14, 2, 0, 1, "CPAC", "Indice contabile cliente", 0},
    {15, 2, 0, 2, "CPAFCSEZ", "Indice contabile fornitore, Codice sezionale", 0},
    {16, 2, 0, 3, "SGRU", "Sottogruppo", 0},
    {17, 2, 1, 1, "DOCUCODA", "Codice documento, Codice articolo", 0},
    {18, 2, 4, 1, "GRUPDEPO", "Gruppo, Deposito (Riga)", 0},
    {19, 2, 5, 1, "CODA", "Codice articolo", 0},
    {20, 2, 6, 1, "DEPO", "Deposito (Riga)", 0},
    {21, 1, 0, 5, "CODAINDCDEPO", "Codice articolo, Cliente, Deposito (Riga)", 0},
};

struct MatrixRow {
    int32_t company;
    int32_t criterion;
    const char* value1;
    const char* value2;  // "" for none
    const char* value3;
    const char* account;
};

// Every posting type of company 1 has rows to answer with. Criteria 2, 3, 4, 8 and 10 have none
// yet; criterion 21's first row is never reached, as criterion 1 answers first for the same
// customer and item. Written in this order, the rows take the keys 1, 2, ...
constexpr MatrixRow kMatrix[] = {
    {1, 1, "C00012", "VITI-M6", "", "40.01.001"},
    {1, 1, "C00012", "BULL-10", "", "40.01.002"},
    {1, 1, "C00047", "VITI-M6", "", "40.01.003"},
    {1, 7, "BULL-10", "DEP01", "", "60.05.002"},
    {1, 7, "CHIAV-13", "DEP02", "", "60.05.003"},
    {1, 21, "VITI-M6", "C00012", "DEP01", "40.01.009"},
    {1, 21, "VITI-M6", "C00099", "DEP01", "40.01.010"},
    {2, 14, "CV01", "", "", "40.02.010"},
    {1, 5, "C00012", "VITI-M6", "", "40.03.001"},
    {1, 5, "C00047", "BULL-10", "", "40.03.002"},
    {1, 6, "NORD", "LOMB", "MI", "40.03.010"},
    {1, 9, "FISCHER", "DEP01", "", "20.02.001"},
    {1, 11, "DEP01", "VITI-M6", "", "20.01.001"},
    {1, 11, "DEP02", "CHIAV-13", "", "20.01.002"},
    {1, 12, "FERR", "MINUT", "", "62.01.001"},
    {1, 13, "FERR", "EDIL", "", "61.01.001"},
};

struct MediaItem {
    int32_t id;
    int32_t ident;  // what MG99_IDMEDIA_CG99 stores
    const char* description;
    const char* path;
};

constexpr MediaItem kMedia[] = {
    {1, 1, "Schema di contabilizzazione delle vendite", "media/schema_vendite.pdf"},
    {2, 1, "Piano dei conti 2024", "media/piano_dei_conti.pdf"},
};

com::Variant TextOrNull(const char* text) {
    return *text ? com::Variant(text) : com::Variant::Null();
}

}  // namespace

void LoadDemoData(ado::Connection& connection) {
    ado::Transaction transaction(connection);
    for (const auto& c : kCompanies)
        connection.ExecuteWith(
            "INSERT INTO HOST_DITTE (DITTA_CODICE, DITTA_RAGSOC, DITTA_PARAMTIPICONTO, "
            "DITTA_ANNIDACLASSI) VALUES (?, ?, ?, ?)",
            {c.code, c.name, c.accountTypes, c.nestedItemClasses});
    InsertWithKeys(connection, "HOST_MEDIA", "MEDIA_ID", [&] {
        for (const auto& m : kMedia)
            connection.ExecuteWith(
                "INSERT INTO HOST_MEDIA (MEDIA_ID, MEDIA_IDENT, MEDIA_DESCR, MEDIA_PATH) "
                "VALUES (?, ?, ?, ?)",
                {m.id, m.ident, m.description, m.path});
    });
    InsertWithKeys(connection, "MGA0_QUINTAB", "MGA0_ID", [&] {
        for (const auto& c : kCriteria)
            connection.ExecuteWith(
                "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
                "MGA0_DESCR, MGA0_STRUTTURACAMPI, MG99_IDMEDIA_CG99) VALUES (?, ?, ?, ?, ?, ?, ?)",
                {c.id, c.company, c.type, c.priority, c.description, c.structure,
                 c.media ? com::Variant(c.media) : com::Variant::Null()});
    });
    for (const auto& m : kMatrix)
        connection.ExecuteWith(
            "INSERT INTO MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_VALORE01, "
            "MGA1_VALORE02, MGA1_VALORE03, MGA1_CONTO) VALUES (?, ?, ?, ?, ?, ?)",
            {m.company, m.criterion, m.value1, TextOrNull(m.value2), TextOrNull(m.value3),
             m.account});
    transaction.Commit();
}

}  // namespace db
