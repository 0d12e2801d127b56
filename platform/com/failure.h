#pragma once
// The three ways a procedure deals with failures.
//  - continue past failures: each step runs; a failing step is skipped, its error is left in Err().
//  - report and close: the first failure stops the procedure and goes to a report handler.
//  - no handling: the exception propagates (plain C++; nothing here).

#include <utility>

#include "platform/com/com_error.h"

namespace com {

// Runs one step; a failure is recorded in Err() and swallowed. Returns whether it succeeded.
template <class F>
bool Step(F&& f) noexcept {
    try {
        std::forward<F>(f)();
        return true;
    } catch (...) {
        Err().Set(CurrentError());
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
