// A broken property ends the run at once: the fuzzer then reports the input that broke it.
#pragma once

#include <cstdlib>

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}
