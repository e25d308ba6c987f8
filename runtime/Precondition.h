// Checks of a caller's preconditions on the unchecked fast paths (element and byte access).
// In the sanitizer tree (TALVERMOOR_CHECK_PRECONDITIONS) a broken one stops the program
// with its description, before any out-of-range access; elsewhere they cost nothing.
#pragma once

#include <cstdio>
#include <cstdlib>

#ifdef TALVERMOOR_CHECK_PRECONDITIONS
inline constexpr bool kCheckPreconditions = true;
#else
inline constexpr bool kCheckPreconditions = false;
#endif

inline void Precondition(bool holds, const char* what) noexcept {
    if constexpr (kCheckPreconditions) {
        if (!holds) {
            std::fprintf(stderr, "precondition broken: %s\n", what);
            std::abort();
        }
    }
}
