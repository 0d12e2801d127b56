#pragma once
// ODBC's failures as the data layer reports them: error 3000 with a description in the user's
// words, chosen by the SQLSTATE's class; the SQLSTATE, the driver's native code and message and
// the statement as the native detail, for the log. No password ever appears in either.

#include <string>

#include "platform/com/com_error.h"

namespace ado::detail {

// The diagnostics of `handle` (of ODBC handle type `type`; 0 when there is none), with
// `context` (what was done: a statement, the server connected to) in the detail.
com::ComError OdbcError(short type, void* handle, const std::string& context);

// `e`, a failure that lost the connection although its SQLSTATE does not say so, as one that
// does (08S01, communication link failure).
com::ComError ConnectionLost(const com::ComError& e);

// The SQLSTATE of a failure this provider reported ("" for others).
std::string SqlState(const com::ComError& e);

// `text` with the value of every PWD= or Password= entry replaced by "***".
std::string WithoutPasswords(const std::string& text);

}  // namespace ado::detail
