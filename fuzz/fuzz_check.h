#pragma once
// The properties a fuzz target asserts besides not crashing. A broken one aborts: libFuzzer
// keeps the input as a crash, and its replay of the corpus fails its test.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (0)
