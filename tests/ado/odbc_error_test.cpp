// What the ODBC provider reports never carries a password, however the connection string or the
// driver's message writes it.

#include <gtest/gtest.h>

#include "platform/ado/connection.h"
#include "platform/ado/odbc/odbc_error.h"

namespace {

TEST(OdbcError, PasswordsAreBlankedWhereverTheyStand) {
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"Driver=x;UID=u;PWD=secret;Database=d", "Driver=x;UID=u;PWD=***;Database=d"},
        {"pwd={se;cr}}et};x=1", "pwd=***;x=1"},
        {"Password=secret", "Password=***"},
        {"login failed: password=secret for u", "login failed: password=*** for u"},
        {"SPWD=kept;XPassword=kept", "SPWD=kept;XPassword=kept"},
        {"PWD=a;PWD=b", "PWD=***;PWD=***"},
    };
    for (const auto& c : cases) EXPECT_EQ(ado::detail::WithoutPasswords(c.text), c.shown);
}

TEST(OdbcError, AFailedConnectionSaysWhatFailedButNotWithWhichPassword) {
    auto connection = ado::Connection::Create();
    try {
        connection->Open("Driver={No such driver};Server=x;UID=u;PWD=hunter2");
        FAIL() << "a connection through a driver that is not installed opened";
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.Number(), com::err::Database);
        EXPECT_EQ(e.Description(),
                  "Il driver ODBC indicato nella stringa di connessione non è installato.");
        EXPECT_EQ(e.Description().find("hunter2"), std::string::npos);
        EXPECT_EQ(e.Detail().find("hunter2"), std::string::npos) << e.Detail();
        EXPECT_FALSE(e.SqlState().empty());
    }
}

}  // namespace
