// Finding where a line of a text file stops: at its CR, or at a Ctrl-Z, which ends the
// text. Both are looked for in one pass, sixteen bytes at a time: a load looks at every
// byte of the file twice (count and read), and the runtime's memchr under Wine takes one
// byte at a time.
#pragma once

#include "runtime/SixteenBytes.h"

#include <bit>
#include <cstdint>

constexpr char kLineCr = 0x0D;
constexpr char kLineLf = 0x0A;
constexpr char kTextEnd = 0x1A; // Ctrl-Z

// The first CR or Ctrl-Z of [from, end), or end when there is none.
inline const char* FindLineStop(const char* from, const char* end) noexcept {
    for (; end - from >= 16; from += 16) {
        if (const std::uint32_t stops = BytesEqualTo(from, kLineCr, kTextEnd); stops != 0) {
            return from + std::countr_zero(stops);
        }
    }
    while (from < end && *from != kLineCr && *from != kTextEnd) {
        ++from;
    }
    return from;
}
