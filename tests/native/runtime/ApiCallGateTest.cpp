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

TEST(MapSystemError, OneCodeOfEveryRow) {
    const std::pair<std::uint32_t, ErrorNumber> rows[] = {
        {0, 0},   {1, 75},  {16, 75}, {37, 75}, {40, 75}, {1000, 75}, {2, 53},  {18, 53},
        {3, 76},  {4, 67},  {5, 70},  {19, 70}, {32, 70}, {33, 70},   {36, 70}, {6, 51},
        {11, 51}, {12, 51}, {13, 51}, {22, 51}, {24, 51}, {7, 241},   {9, 241}, {10, 241},
        {8, 7},   {14, 7},  {15, 68}, {20, 68}, {17, 74}, {21, 71},   {23, 72}, {25, 72},
        {31, 72}, {34, 72}, {35, 72}, {38, 62}, {39, 61}, {112, 61},  {87, 5},
    };
    for (const auto& [code, number] : rows) {
        EXPECT_EQ(MapSystemError(code), number) << code;
    }
}
