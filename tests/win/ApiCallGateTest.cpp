#include "platform/Platform.h"
#include "runtime/ApiCallGate.h"
#include "runtime/ErrorNumber.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

HANDLE OpenForReading(const char* name) {
    return CreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

} // namespace

TEST(ApiCallGate, MapsAMissingFileTo53) {
    auto gate = ApiCallGate([] { return OpenForReading("C:\\no-such-file.txt"); });
    EXPECT_EQ(gate.value, INVALID_HANDLE_VALUE);
    EXPECT_EQ(gate.error, 53);
}

TEST(ApiCallGate, MapsAMissingFolderTo76) {
    auto gate = ApiCallGate([] { return OpenForReading("C:\\no-such-folder\\file.txt"); });
    EXPECT_EQ(gate.value, INVALID_HANDLE_VALUE);
    EXPECT_EQ(gate.error, 76);
}

// Each row of the map, by the platform's own name for a code of it: what the platform
// means by the code and what the runtime reports for it can be read side by side.
TEST(MapSystemError, OneCodeOfEveryRow) {
    const std::pair<DWORD, ErrorNumber> rows[] = {
        {ERROR_SUCCESS, Err::None},
        {ERROR_INVALID_FUNCTION, Err::PathFileAccess},
        {ERROR_CURRENT_DIRECTORY, Err::PathFileAccess},
        {ERROR_FILE_EXISTS, Err::PathFileAccess},
        {ERROR_FILE_NOT_FOUND, Err::FileNotFound},
        {ERROR_NO_MORE_FILES, Err::FileNotFound},
        {ERROR_PATH_NOT_FOUND, Err::PathNotFound},
        {ERROR_TOO_MANY_OPEN_FILES, Err::TooManyFiles},
        {ERROR_ACCESS_DENIED, Err::AccessDenied},
        {ERROR_WRITE_PROTECT, Err::AccessDenied},
        {ERROR_SHARING_VIOLATION, Err::AccessDenied},
        {ERROR_LOCK_VIOLATION, Err::AccessDenied},
        {ERROR_SHARING_BUFFER_EXCEEDED, Err::AccessDenied},
        {ERROR_INVALID_HANDLE, Err::Internal},
        {ERROR_BAD_FORMAT, Err::Internal},
        {ERROR_INVALID_ACCESS, Err::Internal},
        {ERROR_INVALID_DATA, Err::Internal},
        {ERROR_BAD_COMMAND, Err::Internal},
        {ERROR_BAD_LENGTH, Err::Internal},
        {ERROR_ARENA_TRASHED, Err::BadMemoryBlock},
        {ERROR_INVALID_BLOCK, Err::BadMemoryBlock},
        {ERROR_BAD_ENVIRONMENT, Err::BadMemoryBlock},
        {ERROR_NOT_ENOUGH_MEMORY, Err::OutOfMemory},
        {ERROR_OUTOFMEMORY, Err::OutOfMemory},
        {ERROR_INVALID_DRIVE, Err::DeviceUnavailable},
        {ERROR_BAD_UNIT, Err::DeviceUnavailable},
        {ERROR_NOT_SAME_DEVICE, Err::RenameAcrossDevices},
        {ERROR_NOT_READY, Err::DeviceNotReady},
        {ERROR_CRC, Err::DeviceFailure},
        {ERROR_SEEK, Err::DeviceFailure},
        {ERROR_GEN_FAILURE, Err::DeviceFailure},
        {ERROR_WRONG_DISK, Err::DeviceFailure},
        {ERROR_HANDLE_EOF, Err::InputPastEnd},
        {ERROR_HANDLE_DISK_FULL, Err::DiskFull},
        {ERROR_DISK_FULL, Err::DiskFull},
        {ERROR_INVALID_PARAMETER, Err::InvalidArgument},
        // Codes that the platform's headers leave without a name.
        {35, Err::DeviceFailure},
        {37, Err::PathFileAccess},
        {40, Err::PathFileAccess},
        {1000, Err::PathFileAccess},
    };
    for (const auto& [code, number] : rows) {
        EXPECT_EQ(MapSystemError(code), number) << code;
    }
}
