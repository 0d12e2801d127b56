// A criterion's matrix rows through `dravel matrix import` and `export`, on SQLite and PostgreSQL:
// a file is written whole or not at all, every bad line named by the line its record starts on,
// and what export writes, import gives back.

#include <fstream>
#include <set>

#include <nlohmann/json.hpp>

#include "platform/ado/recordset.h"
#include "tests/cli/dravel_cli.h"

namespace {

using ::testing::Pair;
using testing_support::Backend;

// Criterion 1 of the demo company has the structure INDC;CODA; each case starts from these rows,
// written "INDC|CODA|CONTO", keys 101 to 104.
const std::vector<std::string> kRows = {"C00012|VITI-M6|40.01.001", "C00012|BULL-10|40.01.002",
                                        "DUP|DUP|1", "DUP|DUP|2"};

// A file imported, what the tool says, and the rows after (none: refused, nothing written).
struct ImportCase {
    const char* name;
    bool replace;
    std::string file, output;
    std::vector<std::string> after = {};
};

const ImportCase kCases[] = {
    {"adds and gives a held row its new account",
     false,
     "\xEF\xBB\xBFindc;Coda;conto\r\nC00012;VITI-M6;40.09\r\n C00099 ;'-X;'=1\r\n\r\n\r\n",
     "Righe aggiunte: 1, con un conto nuovo: 1, tolte: 0.\n",
     {"C00012|VITI-M6|40.09", "C00012|BULL-10|40.01.002", "DUP|DUP|1", "DUP|DUP|2",
      "C00099|-X|=1"}},
    {"replaces, keeping the first of rows holding the same values",
     true,
     "INDC;CODA;CONTO\nC00012;BULL-10;40.02\nN1;N2;40.03\nDUP;DUP;3\n",
     "Righe aggiunte: 1, con un conto nuovo: 2, tolte: 2.\n",
     {"C00012|BULL-10|40.02", "N1|N2|40.03", "DUP|DUP|3"}},
    {"names every bad line", false,
     "INDC;CODA;CONTO\nA;;\n\"B\nB\";x;1\nA;y\n\n\"B\nB\";x;2\n\xE8;x;1\n" + std::string(41, 'L') +
         ";x;1\nC;D;" + std::string(21, '9') + "\nDUP;DUP;3\nOK;OK;1\n",
     "f.csv:2: Manca il valore di CODA (Codice articolo); Manca il conto\n"
     "f.csv:5: Campi: 2 invece di 3\n"
     "f.csv:6: Campi: 1 invece di 3\n"
     "f.csv:7: Gli stessi valori sono alla riga 3\n"
     "f.csv:9: Il testo non è UTF-8: salvare il file in UTF-8\n"
     "f.csv:10: Il valore di INDC (Cliente) supera i 40 caratteri\n"
     "f.csv:11: Il conto supera i 20 caratteri\n"
     "f.csv:12: Più righe della matrice hanno già questi valori: 103, 104\n"},
    {"names the header expected", false, "CODA;INDC;CONTO\nA;B;1\n",
     "f.csv:1: L'intestazione deve essere INDC;CODA;CONTO\n"},
    {"stops at a quote out of place", false, "INDC;CODA;CONTO\nA;;1\nA;\"B\"x;1\nC;D;1\n",
     "f.csv:2: Manca il valore di CODA (Codice articolo)\n"
     "f.csv:3: Virgolette fuori posto: la lettura si ferma qui\n"},
    {"stops at a quote never closed", false, "INDC;CODA;CONTO\nA;B;1\nA;\"B\n\n",
     "f.csv:3: Virgolette aperte e mai chiuse: la lettura si ferma qui\n"},
};

class MatrixCommands : public testing_support::DravelCliOnEachBackend {
  protected:
    // Files are named as a user in their folder names them: the messages quote the name.
    void SetUp() override {
        std::filesystem::current_path(folder_.Path());
        database_ = NewDatabase("ditta");
        ASSERT_EQ(Dravel({"create-db", "--demo", "--database", database_}).first, 0);
        connection_ = testing_support::OpenDatabase(database_);
    }

    void TearDown() override { std::filesystem::current_path(start_); }

    // Criterion 1's rows become `rows`, keys from 101.
    void Plant(const std::vector<std::string>& rows) {
        connection_->Execute("DELETE FROM MGA1_MATRCPAR WHERE MGA1_ID_MGA0 = 1");
        for (size_t i = 0; i < rows.size(); ++i) {
            std::string values;
            for (char c : rows[i])
                values += c == '|' ? "', '" : c == '\'' ? "''" : std::string(1, c);
            connection_->Execute(
                "INSERT INTO MGA1_MATRCPAR (MGA1_ID, MGA1_DITTA_CG18, MGA1_ID_MGA0, "
                "MGA1_VALORE01, MGA1_VALORE02, MGA1_CONTO) VALUES (" +
                std::to_string(101 + i) + ", 1, 1, '" + values + "')");
        }
    }
    // Criterion 1's rows, in any order: the keys a server gives new rows come before 101.
    std::multiset<std::string> Stored() {
        std::multiset<std::string> rows;
        for (auto rs =
                 connection_->Execute("SELECT MGA1_VALORE01 || '|' || MGA1_VALORE02 || '|' || "
                                      "MGA1_CONTO FROM MGA1_MATRCPAR WHERE MGA1_ID_MGA0 = 1");
             !rs->Eof(); rs->MoveNext())
            rows.insert(rs->Fields(0).Value().ToText());
        return rows;
    }
    // `dravel matrix` with `args`, on criterion 1.
    std::vector<std::string> Matrix(std::vector<std::string> args) {
        args.insert(args.begin(), "matrix");
        args.insert(args.end(), {"--database", database_, "--company", "1", "--criterion", "1"});
        return args;
    }

    const std::filesystem::path start_ = std::filesystem::current_path();
    std::string database_;
    com::ComPtr<ado::Connection> connection_;
};

TEST_P(MatrixCommands, AnImportIsWrittenWholeOrRefusedNamingEveryBadLine) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Plant(kRows);
        const auto before = Stored();
        std::ofstream("f.csv", std::ios::binary) << c.file;
        auto args = Matrix({"import", "f.csv"});
        if (c.replace) args.push_back("--replace");
        const bool refused = c.after.empty();
        const std::string last =
            "dravel: Nulla è stato importato da f.csv: correggere le righe indicate.\n";
        EXPECT_THAT(Dravel(args), Pair(refused ? 1 : 0, c.output + (refused ? last : "")));
        EXPECT_EQ(Stored(), refused ? before : std::multiset(c.after.begin(), c.after.end()));
    }
}

// Values a spreadsheet would run, or would take an apostrophe off, and a code whose leading zeros
// it would drop come back as they were.
TEST_P(MatrixCommands, WhatExportWritesImportGivesBack) {
    Plant({"=SUM(A1)|-5|+39", "'x|@a;b|0001", "dice \"sì\"|00123|40.01"});
    const auto before = Stored();
    EXPECT_THAT(Dravel(Matrix({"export", "--output", "f.csv"})),
                Pair(0, "Righe esportate in f.csv: 3\n"));
    EXPECT_THAT(Dravel(Matrix({"import", "f.csv", "--replace"})),
                Pair(0, "Righe aggiunte: 0, con un conto nuovo: 0, tolte: 0.\n"));
    EXPECT_EQ(Stored(), before);
    auto listed = Dravel(Matrix({"list", "--json"}));
    ASSERT_EQ(listed.first, 0) << listed.second;
    EXPECT_EQ(nlohmann::json::parse(listed.second)["rows"][1],
              nlohmann::json({{"id", 102}, {"values", {"'x", "@a;b"}}, {"account", "0001"}}));
}

DRAVEL_ON_EACH_BACKEND(MatrixCommands);

}  // namespace
