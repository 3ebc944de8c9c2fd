#pragma once
// Ends a fuzz run with the input that broke an expectation, as a crash does: libFuzzer keeps the
// input and shows the message.

#include <cstdio>
#include <cstdlib>

#define FUZZ_EXPECT(condition)                                                            \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            std::fprintf(stderr, "%s:%d: expected %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (false)
