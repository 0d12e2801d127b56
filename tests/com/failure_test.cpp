// The failure patterns: a step that fails leaves its error and the procedure goes on, seen by
// nobody but a maintainer who asks for the trace; a report gets the first failure.

#include <gmock/gmock.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/com/failure.h"
#include "tests/support/child_process.h"

namespace {

TEST(Failure, AStepThatFailsLeavesItsErrorAndTheReportGetsTheFirstFailure) {
    com::Err().Clear();
    EXPECT_FALSE(com::Step([] { throw com::ComError(com::err::ObjectNotSet); }));
    EXPECT_TRUE(com::Step([] {}));
    EXPECT_EQ(com::Err().Number(), com::err::ObjectNotSet);

    std::string reported;
    com::ReportAndClose([] { throw std::runtime_error("disk full"); },
                        [&](const com::ComError& e) { reported = e.Description(); });
    EXPECT_EQ(reported, "disk full");
}

// Steps that fail in three ways, and one that does not.
const std::vector<std::function<void()>> kSteps = {
    [] { throw com::ComError(com::err::ObjectNotSet); },
    [] { throw com::ComError(com::err::Database, "no such table\nStatement: SELECT 1"); },
    [] { throw std::runtime_error("disk full"); },
    [] {},
};

// The steps in turn, as a procedure that continues past failures runs them; the trace names this
// function and this line.
void RunSteps() {
    for (const auto& step : kSteps) com::Step(step);
}
constexpr int kStepLine = __LINE__ - 2;

TEST(Failure, EachStepThatFailsIsALineOfTheTraceOnlyWhenAsked) {
    const std::string at =
        "dravel trace: RunSteps (failure_test.cpp:" + std::to_string(kStepLine) + "): ";
    const std::string trace =
        at + "error 91: Object variable or With block variable not set\n" +  //
        at + "error 3000: no such table\\nStatement: SELECT 1\n" +           // still one line
        at + "error 440: disk full\n";
    const std::pair<const char*, std::string> rows[] = {
        {"1", trace}, {nullptr, ""}, {"", ""}, {"0", ""}};
    for (const auto& [setting, written] : rows) {
        SCOPED_TRACE(setting ? setting : "unset");
        testing_support::ExpectStandardErrorWithTrace(setting, testing::StrEq(written), RunSteps);
    }
}

}  // namespace
