#include "runtime/ApiCallGate.h"

#include "platform/Platform.h"
#include "runtime/SpinLock.h"

namespace {

constexpr UINT kQuietErrorMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;

SpinLock gateLock;
// Guarded by gateLock.
unsigned int errorModeHolds = 0;
UINT errorModeBeforeHolds = 0;

} // namespace

void ApiGateEnter(ApiGateFrame& frame) noexcept {
    gateLock.Lock();
    frame.floatState = SaveFloatState();
    frame.switchedErrorMode = errorModeHolds == 0;
    if (frame.switchedErrorMode) {
        frame.errorMode = SetErrorMode(kQuietErrorMode);
    }
    SetLastError(0);
}

ErrorNumber ApiGateLeave(ApiGateFrame& frame) noexcept {
    RestoreFloatState(frame.floatState);
    const DWORD code = GetLastError();
    if (frame.switchedErrorMode) {
        SetErrorMode(frame.errorMode);
    }
    gateLock.Unlock();
    return MapSystemError(code);
}

void ApiGateHoldErrorMode() noexcept {
    SpinLockGuard guard(gateLock);
    if (errorModeHolds++ == 0) {
        errorModeBeforeHolds = SetErrorMode(kQuietErrorMode);
    }
}

void ApiGateReleaseErrorMode() noexcept {
    SpinLockGuard guard(gateLock);
    if (errorModeHolds > 0 && --errorModeHolds == 0) {
        SetErrorMode(errorModeBeforeHolds);
    }
}
