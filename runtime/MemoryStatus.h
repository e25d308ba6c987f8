// How much memory the system can still give.
#pragma once

#include <cstdint>

// The physical memory available now, in bytes: what can be had without the system paging
// out what others hold. When the system cannot tell, the answer is the
// largest number, so that nothing is refused for want of an answer; an error number is set.
std::uint64_t AvailableMemoryBytes() noexcept;
