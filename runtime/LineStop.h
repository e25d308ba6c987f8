// Finding where a line of a text file stops: at its CR, or at a Ctrl-Z, which ends the
// text. Both are looked for in one pass, sixteen bytes at a time: a load looks at every
// byte of the file twice (count and read), and the runtime's memchr under Wine takes one
// byte at a time.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

constexpr char kLineCr = 0x0D;
constexpr char kLineLf = 0x0A;
constexpr char kTextEnd = 0x1A; // Ctrl-Z

static_assert(std::endian::native == std::endian::little, "the first match is the lowest bits");

// The first CR or Ctrl-Z of [from, end), or end when there is none.
inline const char* FindLineStop(const char* from, const char* end) noexcept {
    using Block = unsigned char __attribute__((vector_size(16)));
    while (end - from >= 16) {
        Block bytes;
        std::memcpy(&bytes, from, sizeof bytes);
        const auto hit = (bytes == static_cast<unsigned char>(kLineCr)) |
                         (bytes == static_cast<unsigned char>(kTextEnd));
        std::uint64_t low;
        std::uint64_t high;
        std::memcpy(&low, &hit, sizeof low);
        std::memcpy(&high, reinterpret_cast<const char*>(&hit) + sizeof low, sizeof high);
        if ((low | high) != 0) {
            return from + (low != 0 ? std::countr_zero(low) : 64 + std::countr_zero(high)) / 8;
        }
        from += 16;
    }
    while (from < end && *from != kLineCr && *from != kTextEnd) {
        ++from;
    }
    return from;
}
