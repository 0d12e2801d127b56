#include "platform/ado/sqlite/sqlite_error.h"

#include <sqlite3.h>

#include <cerrno>
#include <string_view>

#include "platform/ado/provider_messages.h"

namespace ado::detail {

namespace {

// What a user can make of each kind of failure. The texts are the program's Italian source
// texts, translated where the message is shown.
const char* UserText(int primaryCode) {
    switch (primaryCode) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "Il database è in uso da parte di un altro utente: riprovare tra qualche "
                   "istante.";
        case SQLITE_FULL:
            return "Spazio su disco esaurito: l'operazione non è stata eseguita.";
        case SQLITE_READONLY:
            return "Il database è in sola lettura: non è possibile salvare modifiche.";
        case SQLITE_IOERR:
            return "Errore di lettura o scrittura del database su disco: l'operazione non è "
                   "stata eseguita.";
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return "Il file del database è danneggiato o non è un database.";
        case SQLITE_CANTOPEN:
            return "Impossibile aprire il file del database.";
        case SQLITE_CONSTRAINT:
            return "L'operazione viola un vincolo del database e non è stata eseguita.";
        case SQLITE_NOMEM:
            return "Memoria insufficiente: l'operazione non è stata eseguita.";
        default:
            return "Errore del database: l'operazione non è stata eseguita.";
    }
}

}  // namespace

com::ComError SqliteError(sqlite3* db, int code, const std::string& context) {
    const int lastErrno = errno;  // SQLite does not keep the errno of every failed write
    if (db) code = sqlite3_extended_errcode(db);
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    // SQLite calls only ENOSPC a full disk; a write past the file-size limit is no different to
    // whoever has to make room.
    const int system = db && sqlite3_system_errno(db) ? sqlite3_system_errno(db) : lastErrno;
    const int kind = (code & 0xFF) == SQLITE_IOERR && (system == ENOSPC || system == EFBIG)
                         ? SQLITE_FULL
                         : code & 0xFF;
    constexpr std::string_view kNoSuchTable = "no such table: ";
    const UserMessage text = kind == SQLITE_ERROR && message.starts_with(kNoSuchTable)
                                 ? MissingTable(NameAfter(message, kNoSuchTable, ' '))
                                 : UserMessage{UserText(kind), {}};
    com::ComError error(com::err::Database, text.text, "SQLite");
    error.SetValues(text.values);
    error.SetNative(code, "SQLite " + std::to_string(code) + ": " + message +
                              (context.empty() ? std::string() : "\n" + context));
    return error;
}

void ThrowSqliteError(sqlite3* db, const std::string& sql) {
    throw SqliteError(db, SQLITE_MISUSE, sql.empty() ? sql : "Statement: " + sql);
}

}  // namespace ado::detail
