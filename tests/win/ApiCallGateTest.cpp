#include "platform/Platform.h"
#include "runtime/ApiCallGate.h"

#include <gtest/gtest.h>

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
