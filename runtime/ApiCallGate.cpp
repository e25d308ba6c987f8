#include "runtime/ApiCallGate.h"

#include "platform/Platform.h"
#include "runtime/SpinLock.h"

namespace {
SpinLock gateLock;
}

void ApiGateEnter(ApiGateFrame& frame) noexcept {
    gateLock.Lock();
    frame.floatState = SaveFloatState();
    frame.errorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    SetLastError(0);
}

ErrorNumber ApiGateLeave(ApiGateFrame& frame) noexcept {
    RestoreFloatState(frame.floatState);
    const DWORD code = GetLastError();
    SetErrorMode(frame.errorMode);
    gateLock.Unlock();
    return MapSystemError(code);
}
