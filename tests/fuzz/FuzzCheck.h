// The fuzz targets' one assertion: a broken property ends the run with a message.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void FuzzCheck(bool condition, const char* target, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "%s: %s\n", target, what);
        std::abort();
    }
}
