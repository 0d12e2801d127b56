// A criterion's matrix rows through `dravel matrix import` and `export`, on SQLite and PostgreSQL:
// a file is written whole or not at all, every bad line named by the line its record starts on,
// and what export writes, import gives back.

#include <fstream>

#include <nlohmann/json.hpp>

#include "platform/ado/connection_string.h"
#include "platform/text/text.h"
#include "tests/cli/dravel_cli.h"
#include "tests/support/rows.h"

namespace {

using ::testing::Pair;
using testing_support::Backend;

// Criterion 1 of the demo company has the structure INDC;CODA. Rows are written
// "INDC|CODA|CONTO", in key order.
const std::vector<std::string> kRows = {"C00012|VITI-M6|40.01.001", "C00012|BULL-10|40.01.002"};

struct ImportCase {
    const char* name;
    std::vector<std::string> before;
    std::string file;
    bool replace;
    int status;
    std::string output;              // "{held}": the keys of the rows holding DUP|DUP
    std::vector<std::string> after;  // none: as before
};

const std::string kRefused =
    "dravel: Nulla è stato importato da f.csv: correggere le righe indicate.\n";

const ImportCase kCases[] = {
    {"adds and gives a held row its new account",
     kRows,
     "\xEF\xBB\xBFindc;Coda;conto\r\nC00012;VITI-M6;40.09\r\n C00099 ;'-X;'=1\r\n\r\n\r\n",
     false,
     0,
     "Righe aggiunte: 1, con un conto nuovo: 1, tolte: 0.\n",
     {"C00012|VITI-M6|40.09", "C00012|BULL-10|40.01.002", "C00099|-X|=1"}},
    {"replaces",
     kRows,
     "INDC;CODA;CONTO\nC00012;BULL-10;40.02\nN1;N2;40.03\n",
     true,
     0,
     "Righe aggiunte: 1, con un conto nuovo: 1, tolte: 1.\n",
     {"C00012|BULL-10|40.02", "N1|N2|40.03"}},
    {"names every bad line",
     kRows,
     "INDC;CODA;CONTO\nA;;\n\"B\nB\";x;1\nA;y\n\n\"B\nB\";x;2\n\xE8;x;1\n" + std::string(41, 'L') +
         ";x;1\nC;D;" + std::string(21, '9') + "\nOK;OK;1\n",
     false,
     1,
     "f.csv:2: Manca il valore di CODA (Codice articolo); Manca il conto\n"
     "f.csv:5: Campi: 2 invece di 3\n"
     "f.csv:6: Campi: 1 invece di 3\n"
     "f.csv:7: Gli stessi valori sono alla riga 3\n"
     "f.csv:9: Il testo non è UTF-8: salvare il file in UTF-8\n"
     "f.csv:10: Il valore di INDC (Cliente) supera i 40 caratteri\n"
     "f.csv:11: Il conto supera i 20 caratteri\n" +
         kRefused,
     {}},
    {"refuses values several rows hold",
     {"DUP|DUP|1", "DUP|DUP|2"},
     "INDC;CODA;CONTO\nDUP;DUP;3\n",
     false,
     1,
     "f.csv:2: Più righe della matrice hanno già questi valori: {held}\n" + kRefused,
     {}},
    {"replacing, keeps the first of several holders",
     {"DUP|DUP|1", "X|Y|2", "DUP|DUP|2"},
     "INDC;CODA;CONTO\nDUP;DUP;3\n",
     true,
     0,
     "Righe aggiunte: 0, con un conto nuovo: 1, tolte: 2.\n",
     {"DUP|DUP|3"}},
    {"names the header expected",
     kRows,
     "CODA;INDC;CONTO\nA;B;1\n",
     false,
     1,
     "f.csv:1: L'intestazione deve essere INDC;CODA;CONTO\n" + kRefused,
     {}},
    {"stops at a quote out of place",
     kRows,
     "INDC;CODA;CONTO\nA;;1\nA;\"B\"x;1\nC;D;1\n",
     false,
     1,
     "f.csv:2: Manca il valore di CODA (Codice articolo)\n"
     "f.csv:3: Virgolette fuori posto: la lettura si ferma qui\n" +
         kRefused,
     {}},
    {"stops at a quote never closed",
     kRows,
     "INDC;CODA;CONTO\nA;B;1\nA;\"B\n\n",
     false,
     1,
     "f.csv:3: Virgolette aperte e mai chiuse: la lettura si ferma qui\n" + kRefused,
     {}},
};

class MatrixCommands : public testing_support::DravelCli,
                       public ::testing::WithParamInterface<Backend> {
  protected:
    // Files are named as a user in their folder names them: the messages quote the name.
    void SetUp() override {
        std::filesystem::current_path(folder_.Path());
        database_ = GetParam() == Backend::Sqlite
                        ? (folder_ / "ditta.db").string()
                        : testing_support::PostgresServer::Shared().CreateDatabase("cli_matrix");
        ASSERT_EQ(Dravel({"create-db", "--demo", "--database", database_}).first, 0);
        connection_->Open(GetParam() == Backend::Sqlite ? ado::SqliteConnectionString(database_)
                                                        : database_);
    }

    void TearDown() override { std::filesystem::current_path(start_); }

    // Criterion 1's rows become `rows`.
    void Plant(const std::vector<std::string>& rows) {
        connection_->Execute("DELETE FROM MGA1_MATRCPAR WHERE MGA1_ID_MGA0 = 1");
        for (const auto& row : rows) {
            std::vector<com::Variant> values;
            for (size_t from = 0, bar; from <= row.size(); from = bar + 1) {
                bar = std::min(row.find('|', from), row.size());
                values.emplace_back(row.substr(from, bar - from));
            }
            connection_->ExecuteWith(
                "INSERT INTO MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_VALORE01, "
                "MGA1_VALORE02, MGA1_CONTO) VALUES (1, 1, ?, ?, ?)",
                values);
        }
    }
    std::string Held() {
        std::string keys = testing_support::Rows(
            *connection_,
            "SELECT MGA1_ID FROM MGA1_MATRCPAR WHERE MGA1_VALORE01 = 'DUP' ORDER BY MGA1_ID");
        for (size_t at; (at = keys.find(';')) != std::string::npos;) keys.replace(at, 1, ", ");
        return keys;
    }
    std::string Stored() {
        return testing_support::Rows(*connection_,
                                     "SELECT MGA1_VALORE01, MGA1_VALORE02, MGA1_CONTO FROM "
                                     "MGA1_MATRCPAR WHERE MGA1_ID_MGA0 = 1 ORDER BY MGA1_ID");
    }
    // `dravel matrix` with `args`, on criterion 1.
    std::vector<std::string> Matrix(std::vector<std::string> args) {
        args.insert(args.begin(), "matrix");
        args.insert(args.end(), {"--database", database_, "--company", "1", "--criterion", "1"});
        return args;
    }

    const std::filesystem::path start_ = std::filesystem::current_path();
    std::string database_;
    com::ComPtr<ado::Connection> connection_ = ado::Connection::Create();
};

TEST_P(MatrixCommands, AnImportIsWrittenWholeOrRefusedNamingEveryBadLine) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Plant(c.before);
        const std::string before = Stored();
        std::ofstream("f.csv", std::ios::binary) << c.file;
        std::string output = c.output;
        if (auto at = output.find("{held}"); at != std::string::npos) output.replace(at, 6, Held());
        auto args = Matrix({"import", "f.csv"});
        if (c.replace) args.push_back("--replace");
        EXPECT_THAT(Dravel(args), Pair(c.status, output));
        EXPECT_EQ(Stored(), c.after.empty() ? before : txt::Join(c.after, ";")) << "rows";
    }
}

// Values a spreadsheet would run, or would take an apostrophe off, and a code whose leading zeros
// it would drop come back as they were; the listing shows them too.
TEST_P(MatrixCommands, WhatExportWritesImportGivesBack) {
    Plant({"=SUM(A1)|-5|+39", "'x|@a;b|0001", "dice \"sì\"|00123|40.01"});
    const std::string before = Stored();
    const auto exported = Dravel(Matrix({"export"}));
    ASSERT_EQ(exported.first, 0);
    EXPECT_EQ(exported.second,
              "INDC;CODA;CONTO\r\n'=SUM(A1);'-5;'+39\r\n''x;\"'@a;b\";0001\r\n"
              "\"dice \"\"sì\"\"\";00123;40.01\r\n");
    EXPECT_THAT(Dravel(Matrix({"export", "--output", "f.csv"})),
                Pair(0, "Righe esportate in f.csv: 3\n"));
    EXPECT_THAT(Dravel(Matrix({"import", "f.csv", "--replace"})),
                Pair(0, "Righe aggiunte: 0, con un conto nuovo: 0, tolte: 0.\n"));
    EXPECT_EQ(Stored(), before);

    auto listed = Dravel(Matrix({"list", "--json"}));
    ASSERT_EQ(listed.first, 0) << listed.second;
    const auto json = nlohmann::json::parse(listed.second);
    EXPECT_EQ(json["attributes"][1]["caption"], "Codice articolo");
    EXPECT_EQ(json["rows"][2]["values"], nlohmann::json({"dice \"sì\"", "00123"}));
    EXPECT_EQ(json["rows"][0]["account"], "+39");
}

DRAVEL_ON_EACH_BACKEND(MatrixCommands);

}  // namespace
