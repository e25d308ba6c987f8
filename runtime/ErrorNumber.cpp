#include "runtime/ErrorNumber.h"

#include "runtime/ThreadState.h"

ErrorNumber GetErrorNumber() noexcept {
    const ThreadState* state = CurrentThreadState();
    return state != nullptr ? state->errorNumber : Err::None;
}

void SetErrorNumber(ErrorNumber number) noexcept {
    if (ThreadState* state = CurrentThreadState()) {
        state->errorNumber = number;
    }
}

void ClearErrorNumber() noexcept {
    SetErrorNumber(Err::None);
}

ErrorNumber MapSystemError(std::uint32_t code) noexcept {
    switch (code) {
    case 0:
        return Err::None;
    case 2:
    case 18:
        return Err::FileNotFound;
    case 3:
        return Err::PathNotFound;
    case 4:
        return Err::TooManyFiles;
    case 5:
    case 19:
    case 32:
    case 33:
    case 36:
        return Err::AccessDenied;
    case 6:
    case 11:
    case 12:
    case 13:
    case 22:
    case 24:
        return Err::Internal;
    case 7:
    case 9:
    case 10:
        return Err::BadMemoryBlock;
    case 8:
    case 14:
        return Err::OutOfMemory;
    case 15:
    case 20:
        return Err::DeviceUnavailable;
    case 17:
        return Err::RenameAcrossDevices;
    case 21:
        return Err::DeviceNotReady;
    case 23:
    case 25:
    case 26:
    case 27:
    case 28:
    case 29:
    case 30:
    case 31:
    case 34:
    case 35:
        return Err::DeviceFailure;
    case 38:
        return Err::InputPastEnd;
    case 39:
    case 112:
        return Err::DiskFull;
    case 87:
        return Err::InvalidArgument;
    default: // 1, 16, 37 and every other code
        return Err::PathFileAccess;
    }
}
