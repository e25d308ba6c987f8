// Makes the platform's byte-string and memory-block allocations fail for one scope,
// after a given number of them have succeeded. Only the POSIX stand-in can do that: where
// the platform is the real one (these tests built in the Windows tree, run under Wine),
// the tests that need failing allocations skip themselves, and the others run without.
#pragma once

#include "platform/Platform.h"

#ifdef _WIN32
inline constexpr bool kAllocationsCanFail = false;
#else
inline constexpr bool kAllocationsCanFail = true;
#endif

// From now on allocations fail after that many more have succeeded; -1 ends it.
inline void FailAllocationsAfter(long after) {
#ifdef _WIN32
    static_cast<void>(after);
#else
    PosixFailAllocationsAfter(after);
#endif
}

class FailAllocations {
  public:
    explicit FailAllocations(long after = 0) { FailAllocationsAfter(after); }
    ~FailAllocations() { FailAllocationsAfter(-1); }
    FailAllocations(const FailAllocations&) = delete;
    FailAllocations& operator=(const FailAllocations&) = delete;
};
