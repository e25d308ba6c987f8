#include "runtime/ApiCallGate.h"

#include "platform/Platform.h"
#include "runtime/SpinLock.h"

namespace {

constexpr UINT kQuietErrorMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;

SpinLock gateLock;

} // namespace

void ApiGateEnter(ApiGateFrame& frame) noexcept {
    gateLock.Lock();
    frame.floatState = SaveFloatState();
    frame.errorMode = SetErrorMode(kQuietErrorMode);
    SetLastError(0);
}

ErrorNumber ApiGateLeave(ApiGateFrame& frame) noexcept {
    RestoreFloatState(frame.floatState);
    const DWORD code = GetLastError();
    SetErrorMode(frame.errorMode);
    gateLock.Unlock();
    return MapSystemError(code);
}
