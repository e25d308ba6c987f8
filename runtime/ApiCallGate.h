// The gate through which every operating-system call of a runtime service passes.
//
// One process-wide spin lock serialises the calls. Around each call the gate saves the
// floating-point state, suppresses the system's critical-error and file-error boxes and
// clears the last error; afterwards it maps the last-error code to an error number.
// Whether that number means failure is for the service to judge from the call's result,
// since a successful call may leave a code behind.
#pragma once

#include "runtime/ErrorNumber.h"
#include "runtime/FloatState.h"

#include <cstdint>
#include <type_traits>

template <class Result> struct GateResult {
    Result value;      // what the call returned
    ErrorNumber error; // mapped last-error code, 0 when the call left none
};

template <> struct GateResult<void> {
    ErrorNumber error;
};

// The state saved around one call; used only by ApiCallGate.
struct ApiGateFrame {
    FloatState floatState;
    unsigned int errorMode;
};

void ApiGateEnter(ApiGateFrame& frame) noexcept;
ErrorNumber ApiGateLeave(ApiGateFrame& frame) noexcept;

template <class Call> auto ApiCallGate(Call&& call) noexcept -> GateResult<decltype(call())> {
    using Result = decltype(call());
    ApiGateFrame frame;
    ApiGateEnter(frame);
    if constexpr (std::is_void_v<Result>) {
        call();
        return GateResult<void>{ApiGateLeave(frame)};
    } else {
        Result value = call();
        const ErrorNumber error = ApiGateLeave(frame);
        return GateResult<Result>{value, error};
    }
}
