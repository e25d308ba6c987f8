// Sixteen bytes looked at at once, answered as a mask of one bit per byte (bit i for the
// byte at i): the passes of a load that go over every byte of the file. SSE2 on x86;
// elsewhere the compiler's generic vectors, whose lanes are gathered into bits by a
// multiplication.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#else
#include <bit>
static_assert(std::endian::native == std::endian::little, "lanes are gathered from the low end");
#endif

namespace sixteen_bytes {
#if !defined(__SSE2__)
using Lanes = unsigned char __attribute__((vector_size(16)));

// Bit i set where lane i is 0xFF; every lane is 0 or 0xFF.
inline std::uint32_t Gather(Lanes lanes) noexcept {
    std::uint64_t halves[2];
    std::memcpy(halves, &lanes, sizeof halves);
    // Each byte's top bit, multiplied up to bit 56 plus the byte's index.
    constexpr std::uint64_t kTopBits = 0x8080808080808080u;
    constexpr std::uint64_t kGather = 0x0002040810204081u;
    return static_cast<std::uint32_t>(((halves[0] & kTopBits) * kGather) >> 56 |
                                      ((halves[1] & kTopBits) * kGather) >> 56 << 8);
}

inline Lanes Load(const void* from) noexcept {
    Lanes lanes;
    std::memcpy(&lanes, from, sizeof lanes);
    return lanes;
}
#endif
} // namespace sixteen_bytes

// The bytes of the sixteen at from that equal a or b.
inline std::uint32_t BytesEqualTo(const void* from, char a, char b) noexcept {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(static_cast<const __m128i*>(from));
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(
        _mm_cmpeq_epi8(bytes, _mm_set1_epi8(a)), _mm_cmpeq_epi8(bytes, _mm_set1_epi8(b)))));
#else
    const sixteen_bytes::Lanes bytes = sixteen_bytes::Load(from);
    return sixteen_bytes::Gather(static_cast<sixteen_bytes::Lanes>(
        (bytes == static_cast<unsigned char>(a)) | (bytes == static_cast<unsigned char>(b))));
#endif
}

// The bytes of the sixteen at from that are NUL or above 0x7F.
inline std::uint32_t BytesNulOrAbove7F(const void* from) noexcept {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(static_cast<const __m128i*>(from));
    // As signed bytes, exactly the others are above 0.
    return ~static_cast<std::uint32_t>(
               _mm_movemask_epi8(_mm_cmpgt_epi8(bytes, _mm_setzero_si128()))) &
           0xFFFFu;
#else
    const sixteen_bytes::Lanes bytes = sixteen_bytes::Load(from);
    return sixteen_bytes::Gather(
        static_cast<sixteen_bytes::Lanes>(bytes - 1 >= static_cast<unsigned char>(0x7F)));
#endif
}
