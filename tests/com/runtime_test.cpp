// The failure helpers.

#include <gmock/gmock.h>

#include "platform/com/failure.h"
#include "tests/support/error_matchers.h"

namespace {

TEST(Runtime, AStepThatFailsLeavesItsErrorAndTheReportGetsTheFirstFailure) {
    com::Err().Clear();
    EXPECT_FALSE(com::Step([] { throw com::ComError(com::err::ObjectNotSet); }));
    EXPECT_TRUE(com::Step([] {}));
    EXPECT_EQ(com::Err().Number(), com::err::ObjectNotSet);

    std::string reported;
    com::ReportAndClose([] { throw std::runtime_error("disk full"); },
                        [&](const com::ComError& e) { reported = e.Description(); });
    EXPECT_EQ(reported, "disk full");
}

}  // namespace
