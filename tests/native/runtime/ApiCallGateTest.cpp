#include "platform/Platform.h"
#include "runtime/ApiCallGate.h"

#include <gtest/gtest.h>

#include <cfenv>

TEST(ApiCallGate, GivesTheResultAndTheMappedLastError) {
    const auto failed = ApiCallGate([] {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 17;
    });
    EXPECT_EQ(failed.value, 17);
    EXPECT_EQ(failed.error, Err::PathNotFound);
    const auto clean = ApiCallGate([] { return 1; });
    EXPECT_EQ(clean.error, Err::None);
}

TEST(ApiCallGate, SuppressesErrorBoxesAndRestoresTheModeAndRounding) {
    // The caller's mode differs from both the gate's and the one the call leaves behind,
    // so only the gate's own restoring can bring it back.
    constexpr UINT kCallerMode = 0x0002; // SEM_NOGPFAULTERRORBOX
    SetErrorMode(kCallerMode);
    UINT during = 0;
    ApiCallGate([&] {
        during = SetErrorMode(0); // system code may change both
        std::fesetround(FE_DOWNWARD);
    });
    EXPECT_EQ(during, static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
    EXPECT_EQ(SetErrorMode(0), kCallerMode);
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
}
