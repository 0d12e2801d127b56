// Opening a connection: connection strings.

#include <gtest/gtest.h>

#include "platform/ado/backend.h"
#include "tests/ado/temp_database.h"

namespace dravel::testing {
namespace {

TEST(ConnectionString, BracesQuoteAValueAsItStands) {
    struct Case {
        const char* text;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"Provider=SQLite;Data Source={/x/real;2024.db}", "data source", "/x/real;2024.db"},
        {"Data Source = { a}}b } ;Provider=SQLite", "data source", " a}b "},
        {"Driver={PostgreSQL};Server=localhost", "driver", "PostgreSQL"},
        {"DSN=conti;PWD=p=q}", "pwd", "p=q}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ado::detail::ParseConnectionString(c.text).Get(c.key), c.value);
    }
    // Errors name the key, never the value: it may be a password.
    for (const char* bad : {"PWD={segreto;Server=x", "PWD={segreto}x;Server=x"}) {
        std::string description;
        EXPECT_EQ(ErrorOf([&] { ado::detail::ParseConnectionString(bad); }, &description),
                  com::err::Database);
        EXPECT_NE(description.find("\"pwd\""), std::string::npos) << description;
        EXPECT_EQ(description.find("segreto"), std::string::npos) << description;
    }
}

}  // namespace
}  // namespace dravel::testing
