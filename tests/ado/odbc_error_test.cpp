// What the ODBC provider reports never carries a password, however the connection string or the
// driver's message writes it.

#include <gmock/gmock.h>

#include "platform/ado/connection.h"
#include "platform/ado/odbc/odbc_error.h"
#include "tests/support/error_matchers.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

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
    EXPECT_THAT([&] { connection->Open("Driver={No such driver};Server=x;UID=u;PWD=hunter2"); },
                testing_support::FailsWith(
                    com::err::Database,
                    "Il driver ODBC indicato nella stringa di connessione non è installato.",
                    Not(HasSubstr("hunter2"))));
}

}  // namespace
