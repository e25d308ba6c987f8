// The floating-point state that system code may change under the runtime: rounding,
// precision and exception masks. Saved around every system call and restored after it.
//
// On x86 the state is the SSE control and status register and the x87 control word,
// read directly: the C library's fegetenv/fesetenv probe the processor on every call on
// some platforms, which costs microseconds per system call.
#pragma once

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64)
#include <cstdint>
#include <xmmintrin.h>

struct FloatState {
    unsigned int sseControl;
    std::uint16_t x87Control;
};

inline FloatState SaveFloatState() noexcept {
    FloatState state{_mm_getcsr(), 0};
#if defined(__GNUC__)
    __asm__ volatile("fnstcw %0" : "=m"(state.x87Control));
#endif
    return state;
}

inline void RestoreFloatState(const FloatState& state) noexcept {
    _mm_setcsr(state.sseControl);
#if defined(__GNUC__)
    __asm__ volatile("fldcw %0" : : "m"(state.x87Control));
#endif
}
#else
#include <cfenv>

struct FloatState {
    std::fenv_t environment;
};

inline FloatState SaveFloatState() noexcept {
    FloatState state;
    std::fegetenv(&state.environment);
    return state;
}

inline void RestoreFloatState(const FloatState& state) noexcept {
    std::fesetenv(&state.environment);
}
#endif
