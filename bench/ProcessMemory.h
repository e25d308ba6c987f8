// The process's memory as the benchmarks weigh it.
#pragma once

#include <cstdint>

// Bytes the heap holds for the program now: natively the allocator's blocks in use and the
// address space the platform stand-in maps, on Windows the committed private memory.
std::uint64_t HeapBytesInUse() noexcept;

// The most memory the process has held at once (resident set), in bytes.
std::uint64_t PeakMemoryBytes() noexcept;
