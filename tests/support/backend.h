#pragma once
// The database backends a test runs on. The tests of a fixture written with TEST_P and
// instantiated with DRAVEL_ON_EACH_BACKEND run once on SQLite and once on PostgreSQL, named
// ".../Sqlite" and ".../Postgresql": CTest runs all PostgreSQL instances of a program as one
// test, so that the program starts its server once.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace testing_support {

enum class Backend { Sqlite, Postgresql };

inline void PrintTo(Backend backend, std::ostream* os) {
    *os << (backend == Backend::Sqlite ? "Sqlite" : "Postgresql");
}

// Whether the long runs of the reliability tests are asked for (DRAVEL_SOAK=1).
inline bool Soak() {
    const char* soak = std::getenv("DRAVEL_SOAK");
    return soak && std::string(soak) == "1";
}

}  // namespace testing_support

#define DRAVEL_ON_EACH_BACKEND(fixture)                                                            \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        , fixture,                                                                                 \
        ::testing::Values(testing_support::Backend::Sqlite, testing_support::Backend::Postgresql), \
        ::testing::PrintToStringParamName())
