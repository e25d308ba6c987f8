// Makes the platform's byte-string and memory-block allocations fail for one scope,
// after a given number of them have succeeded.
#pragma once

#include "platform/Platform.h"

class FailAllocations {
  public:
    explicit FailAllocations(long after = 0) { PosixFailAllocationsAfter(after); }
    ~FailAllocations() { PosixFailAllocationsAfter(-1); }
    FailAllocations(const FailAllocations&) = delete;
    FailAllocations& operator=(const FailAllocations&) = delete;
};
