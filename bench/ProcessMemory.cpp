#include "bench/ProcessMemory.h"

#include "platform/Platform.h"

#ifdef _WIN32
#include <psapi.h>
#else
#include <malloc.h>
#include <sys/resource.h>
#endif

#ifdef _WIN32

// The committed private memory of the address space: what the heaps and blocks hold,
// whatever allocator sits on top.
std::uint64_t HeapBytesInUse() noexcept {
    std::uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region{};
    const char* at = nullptr;
    while (VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += region.RegionSize;
        }
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) {
            break;
        }
        at = next;
    }
    return total;
}

std::uint64_t PeakMemoryBytes() noexcept {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

#else

std::uint64_t HeapBytesInUse() noexcept {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd + PosixVirtualBytesInUse();
}

std::uint64_t PeakMemoryBytes() noexcept {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;
}

#endif
