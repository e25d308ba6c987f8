#include "runtime/MemoryStatus.h"

#include "platform/Platform.h"
#include "runtime/ApiCallGate.h"

#include <limits>

std::uint64_t AvailableMemoryBytes() noexcept {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    const auto gate = ApiCallGate([&] { return GlobalMemoryStatusEx(&status); });
    if (!gate.value) {
        SetErrorNumber(gate.error != Err::None ? gate.error : Err::Internal);
        return std::numeric_limits<std::uint64_t>::max();
    }
    return status.ullAvailPhys;
}
