#pragma once
// A call that fails with the runtime's error: EXPECT_THAT([&] { ... }, FailsWith(13)).

#include <gmock/gmock.h>

#include <cstdint>
#include <string>

#include "platform/com/com_error.h"

namespace testing_support {

// Throws error `number`; its description (what the user reads) and its detail (what the log
// gets) match the matchers given.
inline auto FailsWith(const ::testing::Matcher<int32_t>& number,
                      const ::testing::Matcher<const std::string&>& description = ::testing::_,
                      const ::testing::Matcher<const std::string&>& detail = ::testing::_) {
    using ::testing::Property;
    return ::testing::Throws<com::ComError>(
        ::testing::AllOf(Property(&com::ComError::Number, number),
                         Property(&com::ComError::Description, description),
                         Property(&com::ComError::Detail, detail)));
}

}  // namespace testing_support
