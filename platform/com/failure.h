#pragma once
// The three ways a procedure deals with failures.
//  - continue past failures: each step runs; a failing step is skipped, its error is left in Err()
//    and nothing is reported, but for the trace a maintainer may ask for (TraceFailure).
//  - report and close: the first failure stops the procedure and goes to a report handler.
//  - no handling: the exception propagates (plain C++; nothing here).

#include <utility>
#include <version>

#include "platform/com/com_error.h"

// clang before 15 lacks the builtin std::source_location needs; the older type gives the same.
#ifdef __cpp_lib_source_location
#include <source_location>
namespace com {
using SourceLocation = std::source_location;
}
#else
#include <experimental/source_location>
namespace com {
using SourceLocation = std::experimental::source_location;
}
#endif

namespace com {

// With DRAVEL_TRACE set in the environment (to anything but "" or "0"; read once), writes a
// failure that a step let pass to standard error as a line of its own, which no log record or
// program message starts with: "dravel trace: FUNCTION (FILE:LINE): error NUMBER: TEXT".
void TraceFailure(SourceLocation where, const ComError& error) noexcept;

// Runs one step; a failure is recorded in Err(), traced and swallowed. Returns whether it
// succeeded. `where` is the caller's place: a helper that runs steps for its callers takes it the
// same way and passes it on.
template <class F>
bool Step(F&& f, SourceLocation where = SourceLocation::current()) noexcept {
    try {
        std::forward<F>(f)();
        return true;
    } catch (...) {
        const ComError e = CurrentError();
        Err().Set(e);
        TraceFailure(where, e);
        return false;
    }
}

// Runs the body; on the first failure calls report(error) instead of propagating.
template <class F, class R>
void ReportAndClose(F&& body, R&& report) {
    try {
        std::forward<F>(body)();
    } catch (...) {
        ComError e = CurrentError();
        Err().Set(e);
        std::forward<R>(report)(e);
    }
}

}  // namespace com
