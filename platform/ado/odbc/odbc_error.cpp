#include "platform/ado/odbc/odbc_error.h"

#include <algorithm>
#include <cctype>

#include "platform/ado/odbc/odbc_handle.h"
#include "platform/ado/provider_messages.h"
#include "platform/text/text.h"

namespace ado::detail {

namespace {

constexpr const char* kSource = "ODBC";

// psqlODBC reports a login the server refused as 08001, as it does a server it cannot reach: the
// server's message tells them apart. The signs are the server's English texts: a server set to
// answer in another language (lc_messages) is read as one that could not be reached.
bool LoginRefused(const std::string& messages) {
    for (const char* sign :
         {"authentication failed", "no password supplied", "pg_hba.conf", "FATAL:  role \""})
        if (messages.find(sign) != std::string::npos) return true;
    return false;
}

// What a user can make of each kind of failure, by SQLSTATE and, where that is not enough, the
// driver's messages. The texts are the program's Italian source texts, translated where the
// message is shown.
UserMessage ForUser(const std::string& state, const std::string& messages) {
    const std::string cls = state.substr(0, 2);
    if (cls == "28" || (state == "08001" && LoginRefused(messages)))
        return {"Accesso al database negato: utente o password non validi.", {}};
    if (cls == "08" || state == "HYT01")
        return {
            "Impossibile collegarsi al server del database: verificare che sia raggiungibile "
            "e riprovare.",
            {}};
    // PostgreSQL's own state; SQL Server says it with 42000, a syntax error's state, and its words.
    if (state == "42501" ||
        (state == "42000" && messages.find("permission was denied") != std::string::npos))
        return {
            "L'utente del database non ha i diritti per questa operazione, che non è stata "
            "eseguita.",
            {}};
    // PostgreSQL: relation "name" does not exist; SQL Server: Invalid object name 'name'.
    if (state == "42P01" || state == "42S02") {
        std::string table = NameAfter(messages, "relation \"", '"');
        return MissingTable(table.empty() ? NameAfter(messages, "object name '", '\'') : table);
    }
    if (cls == "23")
        return {"L'operazione viola un vincolo del database e non è stata eseguita.", {}};
    if (cls == "40" || state == "HYT00" || state == "55P03" || state == "57014")
        return {"Il database è in uso da parte di un altro utente: riprovare tra qualche istante.",
                {}};
    if (state == "53100")
        return {"Spazio su disco esaurito: l'operazione non è stata eseguita.", {}};
    if (state == "HY001" || state == "53200")
        return {"Memoria insufficiente: l'operazione non è stata eseguita.", {}};
    // The driver manager found no such data source (DSN=) in the ODBC configuration.
    if (state == "IM002")
        return {"L'origine dati ODBC indicata nella stringa di connessione non è definita.", {}};
    // A failed call with nothing but a warning: the driver manager could not load the driver.
    if (state == "IM003" || state == "IM004" || cls == "01")
        return {"Il driver ODBC indicato nella stringa di connessione non è installato.", {}};
    return {"Errore del database: l'operazione non è stata eseguita.", {}};
}

}  // namespace

std::string WithoutPasswords(const std::string& text) {
    const std::string lower = txt::Lower(text);
    std::string out;
    size_t copied = 0;
    for (size_t i = 0; i < text.size();) {
        size_t keyLength = lower.compare(i, 4, "pwd=") == 0        ? 4
                           : lower.compare(i, 9, "password=") == 0 ? 9
                                                                   : 0;
        bool atStart = i == 0 || !std::isalnum(static_cast<unsigned char>(text[i - 1]));
        if (keyLength == 0 || !atStart) {
            ++i;
            continue;
        }
        size_t value = i + keyLength, end = value;
        if (end < text.size() && text[end] == '{') {
            // A braced value runs to its closing brace ("}}" is one brace inside it).
            for (++end; end < text.size(); ++end) {
                if (text[end] != '}') continue;
                if (end + 1 < text.size() && text[end + 1] == '}') {
                    ++end;
                    continue;
                }
                ++end;
                break;
            }
        } else {
            while (end < text.size() && text[end] != ';' && text[end] != ' ' && text[end] != '\n')
                ++end;
        }
        out += text.substr(copied, value - copied) + "***";
        copied = i = end;
    }
    return out + text.substr(copied);
}

com::ComError OdbcError(short type, void* handle, const std::string& context) {
    std::string state, messages;
    SQLINTEGER firstNative = 0;
    for (SQLSMALLINT record = 1; handle && type; ++record) {
        SQLWCHAR sqlState[6] = {}, text[1024] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRecW(type, handle, record, sqlState, &native, text,
                                      static_cast<SQLSMALLINT>(std::size(text)), &length);
        if (!SQL_SUCCEEDED(rc)) break;
        std::string recordState = Utf8(sqlState, 5);
        // Warnings (class 01) come before the failure they explain: the failure names the kind.
        if (state.empty() || (state.rfind("01", 0) == 0 && recordState.rfind("01", 0) != 0)) {
            state = recordState;
            firstNative = native;
        }
        length = std::min<SQLSMALLINT>(length, static_cast<SQLSMALLINT>(std::size(text) - 1));
        messages += (messages.empty() ? "" : "\n") + std::string("SQLSTATE ") + recordState +
                    " (native " + std::to_string(native) +
                    "): " + Utf8(text, static_cast<size_t>(length));
    }
    if (state.empty()) {
        state = "HY000";
        messages = "SQLSTATE HY000: the driver gave no diagnostics";
    }
    const UserMessage text = ForUser(state, messages);
    com::ComError error(com::err::Database, text.text, kSource);
    error.SetValues(text.values);
    error.SetNative(firstNative,
                    WithoutPasswords(messages + (context.empty() ? "" : "\n" + context)));
    error.SetSqlState(state);
    return error;
}

com::ComError ConnectionLost(const com::ComError& e) {
    com::ComError lost(com::err::Database, ForUser("08S01", "").text, kSource);
    lost.SetNative(e.NativeCode(), e.Detail());
    lost.SetSqlState("08S01");
    return lost;
}

std::string SqlState(const com::ComError& e) {
    return e.Source() == kSource ? e.SqlState() : std::string();
}

}  // namespace ado::detail
