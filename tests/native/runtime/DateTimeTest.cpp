#include "platform/Platform.h"
#include "runtime/DateTime.h"
#include "runtime/ErrorNumber.h"
#include "tests/native/runtime/FailAllocations.h"
#include "tests/support/StringContents.h"

#include <gtest/gtest.h>

#include <string>

namespace {} // namespace

TEST(DateTime, FixedWidthMonthFirst) {
    const LocalTime time{2026, 12, 8, 4, 5, 6};
    EXPECT_EQ(Text(FormatDate(time)), "12-08-2026");
    EXPECT_EQ(Text(FormatTime(time)), "04:05:06");
    const LocalTime midnight{2000, 1, 1, 0, 0, 0};
    EXPECT_EQ(Text(FormatDate(midnight)), "01-01-2000");
    EXPECT_EQ(Text(FormatTime(midnight)), "00:00:00");
    EXPECT_EQ(Text(FormatDate({987, 2, 28, 23, 59, 59})), "02-28-0987");
    EXPECT_EQ(Text(FormatTime({987, 2, 28, 23, 59, 59})), "23:59:59");
}

TEST(DateTime, YearsBeyond9999KeepTheWidth) {
    EXPECT_EQ(Text(FormatDate({30827, 12, 31, 0, 0, 0})), "12-31-0827");
}

TEST(DateTime, TheClockTextMatchesTheLocalTime) {
    // Read around the call, so a change of second or day in between cannot fail the test.
    const LocalTime before = ReadLocalTime();
    const std::string date = Text(DateText());
    const std::string time = Text(TimeText());
    const LocalTime after = ReadLocalTime();
    EXPECT_TRUE(date == Text(FormatDate(before)) || date == Text(FormatDate(after))) << date;
    ASSERT_EQ(time.size(), 8u);
    const std::string first = Text(FormatTime(before));
    const std::string last = Text(FormatTime(after));
    const bool wrapped = last < first; // midnight passed in between
    EXPECT_TRUE(wrapped || (first <= time && time <= last)) << time;
    EXPECT_GE(before.month, 1);
    EXPECT_LE(before.month, 12);
}

TEST(DateTime, OutOfMemoryGivesEmptyAndError7) {
    if (!kAllocationsCanFail) {
        GTEST_SKIP() << "the real allocator cannot be made to fail";
    }
    ClearErrorNumber();
    FailAllocationsAfter(0);
    const DynString date = DateText();
    const DynString time = TimeText();
    FailAllocationsAfter(-1);
    EXPECT_EQ(Text(date), "");
    EXPECT_EQ(Text(time), "");
    EXPECT_EQ(GetErrorNumber(), Err::OutOfMemory);
}
