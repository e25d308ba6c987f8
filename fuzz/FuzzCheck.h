// What the fuzz targets share: a failed invariant stops the run as a finding.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}
