// Texts at and around each text column's width, in characters of every kind (outside the Basic
// Multilingual Plane, combining marks, right to left): read back as written, saved and deleted
// again without a false conflict, and one character too many refused before anything is written.

#include <regex>

#include "platform/text/text.h"
#include "tests/ado/temp_database.h"

namespace dravel::testing {
namespace {

using ::testing::HasSubstr;

struct TextColumn {
    const char* table;
    const char* column;
    int32_t width;
    std::vector<std::pair<const char*, com::Variant>> required;  // the row's other columns
};

const TextColumn kColumns[] = {
    {"MGA0_QUINTAB", "MGA0_DESCR", 255, {{"MGA0_DITTA_CG18", 1}, {"MGA0_FLGRESO", 0}}},
    {"MGA0_QUINTAB", "MGA0_STRUTTURACAMPI", 40, {{"MGA0_DITTA_CG18", 1}, {"MGA0_FLGRESO", 0}}},
    {"MGA1_MATRCPAR", "MGA1_VALORE10", 40, {{"MGA1_DITTA_CG18", 1}, {"MGA1_ID_MGA0", 1}}},
    {"MGA1_MATRCPAR", "MGA1_CONTO", 20, {{"MGA1_DITTA_CG18", 1}, {"MGA1_ID_MGA0", 1}}},
    {"HOST_DITTE", "DITTA_RAGSOC", 80, {{"DITTA_CODICE", 1}}},
    {"HOST_MEDIA", "MEDIA_DESCR", 255, {{"MEDIA_IDENT", 1}, {"MEDIA_PATH", "/m"}}},
    {"HOST_MEDIA", "MEDIA_PATH", 1024, {{"MEDIA_IDENT", 1}, {"MEDIA_DESCR", "m"}}},
};

// The characters a text is made of, repeated: each element is one character.
const std::vector<std::vector<std::string>> kKinds = {
    {"😀", "🇮", "𝄞"},                 // two UTF-16 units each
    {"e", "\u0301", "a", "\u0323"},  // letters and the combining marks after them
    {"ש", "ל", "و", "م", "\u200F"},  // Hebrew and Arabic letters, a right-to-left mark
};

// `count` characters of `kind`, starting `shift` characters into its cycle.
std::string TextOf(const std::vector<std::string>& kind, int32_t count, size_t shift = 0) {
    std::string text;
    for (int32_t i = 0; i < count; ++i) text += kind[(i + shift) % kind.size()];
    return text;
}

class TextWidth : public OnEachBackend {
  protected:
    com::ComPtr<ado::Recordset> OpenTable(const TextColumn& c) {
        return Open(std::string("SELECT * FROM ") + c.table, ado::adLockOptimistic);
    }
    com::Variant Stored(const TextColumn& c) const {
        return Scalar(std::string("SELECT ") + c.column + " FROM " + c.table);
    }
};

TEST_P(TextWidth, TextsOfEveryKindFitToTheCharacterAndNoFurther) {
    for (const auto& c : kColumns) {
        for (const auto& kind : kKinds) {
            SCOPED_TRACE(std::string(c.column) + " of " + kind[0]);
            const std::string full = TextOf(kind, c.width), other = TextOf(kind, c.width, 1);
            auto rs = OpenTable(c);
            rs->AddNew();
            for (const auto& [column, value] : c.required) rs->Fields(column).SetValue(value);
            rs->Fields(c.column).SetValue(full);
            rs->Update();
            EXPECT_EQ(Stored(c), com::Variant(full));

            // Read back as written, so that the next save and the delete find the row as read.
            rs = OpenTable(c);
            rs->Fields(c.column).SetValue(other);
            rs->Update();
            EXPECT_EQ(Stored(c), com::Variant(other));

            // One more character: refused before it is written, the edit kept. The column is
            // named as the database names it (PostgreSQL in lower case).
            const std::string tooLong = other + kind[0];
            const std::string name = Native(c.column, txt::Lower(c.column).c_str());
            rs->Fields(c.column).SetValue(tooLong);
            // A catalogue text with its values, so that another language shows it translated.
            EXPECT_THAT(
                [&] { rs->Update(); },
                ::testing::Throws<com::ComError>(::testing::AllOf(
                    ::testing::Property(&com::ComError::Number, com::err::ArgumentOutOfRange),
                    ::testing::Property(&com::ComError::Description,
                                        "Il campo " + name + " ammette al massimo " +
                                            std::to_string(c.width) + " caratteri"),
                    ::testing::Property(&com::ComError::Text,
                                        "Il campo %1 ammette al massimo %2 caratteri"))));
            EXPECT_EQ(Stored(c), com::Variant(other));
            EXPECT_EQ(rs->Fields(c.column).Value(), com::Variant(tooLong));
            rs->CancelUpdate();

            rs = OpenTable(c);
            rs->Delete();
            EXPECT_EQ(Scalar(std::string("SELECT COUNT(*) FROM ") + c.table).ToLong(), 0);
        }
    }
}

DRAVEL_ON_EACH_BACKEND(TextWidth);

// SQL Server, which no test here reaches, holds each text column to the characters the other
// dialects hold it to: a column of UTF-16 units wide enough for any of them, a check of the
// characters under a collation that counts a surrogate pair as one.
TEST(TextWidthSchema, SqlServerCountsCharactersAsTheOtherDialectsDo) {
    auto schema = [](ado::Dialect d) {
        std::string text;
        for (const auto& statement : db::SchemaStatements(d)) text += statement + "\n";
        return text;
    };
    const std::string postgresql = schema(ado::Dialect::Postgresql),
                      sqlite = schema(ado::Dialect::Sqlite), tsql = schema(ado::Dialect::Tsql);
    const std::regex declared(R"((\w+) VARCHAR\((\d+)\))");
    int columns = 0;
    for (std::sregex_iterator m(postgresql.begin(), postgresql.end(), declared), end; m != end;
         ++m, ++columns) {
        const std::string name = (*m)[1], chars = (*m)[2];
        EXPECT_THAT(sqlite, HasSubstr("CHECK (length(" + name + ") <= " + chars + ")"));
        EXPECT_THAT(tsql, HasSubstr(name + " NVARCHAR(" + std::to_string(2 * std::stoi(chars)) +
                                    ") COLLATE Latin1_General_100_CS_AS_SC "));
        EXPECT_THAT(tsql, HasSubstr("CHECK (LEN(" + name +
                                    " + N'.') <= " + std::to_string(std::stoi(chars) + 1) + ")"));
    }
    EXPECT_EQ(columns, 21);
    EXPECT_THAT(tsql, ::testing::Not(HasSubstr(" VARCHAR")));
}

}  // namespace
}  // namespace dravel::testing
