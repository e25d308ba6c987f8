// Error numbers: how a runtime service reports failure to the routine that called it.
//
// Services never raise or show anything. A failing service records its number for the
// calling thread and returns a neutral result ("" for strings, 0 for numbers, no change
// for arrays and files). A later failure overwrites an earlier one.
#pragma once

#include <cstdint>

using ErrorNumber = std::uint8_t;

namespace Err {
constexpr ErrorNumber None = 0;
constexpr ErrorNumber InvalidArgument = 5;
constexpr ErrorNumber OutOfMemory = 7;
constexpr ErrorNumber BadIndex = 9;
constexpr ErrorNumber Internal = 51;
constexpr ErrorNumber BadFileNumber = 52;
constexpr ErrorNumber FileNotFound = 53;
constexpr ErrorNumber BadFileMode = 54;
constexpr ErrorNumber FileAlreadyOpen = 55;
constexpr ErrorNumber DiskFull = 61;
constexpr ErrorNumber InputPastEnd = 62;
constexpr ErrorNumber BadFileName = 64;
constexpr ErrorNumber TooManyFiles = 67;
constexpr ErrorNumber DeviceUnavailable = 68;
constexpr ErrorNumber AccessDenied = 70;
constexpr ErrorNumber DeviceNotReady = 71;
constexpr ErrorNumber DeviceFailure = 72;
constexpr ErrorNumber RenameAcrossDevices = 74;
constexpr ErrorNumber PathFileAccess = 75;
constexpr ErrorNumber PathNotFound = 76;
constexpr ErrorNumber BadMemoryBlock = 241;
} // namespace Err

// The calling thread's current error number; 0 when nothing failed since it was cleared.
ErrorNumber GetErrorNumber() noexcept;
void SetErrorNumber(ErrorNumber number) noexcept;
void ClearErrorNumber() noexcept;

// The error number for a system last-error code (0 for 0).
ErrorNumber MapSystemError(std::uint32_t code) noexcept;
