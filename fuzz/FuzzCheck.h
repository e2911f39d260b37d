#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant stops the run with a message; libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s (%s)\n", __FILE__, __LINE__,         \
                         #condition, what);                                                        \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
