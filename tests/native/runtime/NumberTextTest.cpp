#include "platform/Platform.h"
#include "runtime/ErrorNumber.h"
#include "runtime/NumberText.h"
#include "tests/native/runtime/FailAllocations.h"
#include "tests/support/StringContents.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

std::string Format(double x, const char* mask) {
    return Text(FormatNumber(x, DynString(mask)));
}

double FromText(const char* text) {
    return NumberFromText(DynString(text));
}

} // namespace

TEST(NumberText, SignPlaceThenAllDigitsOfIntegers) {
    EXPECT_EQ(Text(NumberText(9)), " 9");
    EXPECT_EQ(Text(NumberText(100)), " 100");
    EXPECT_EQ(Text(NumberText(0)), " 0");
    EXPECT_EQ(Text(NumberText(-0.0)), " 0");
    EXPECT_EQ(Text(NumberText(-1)), "-1");
    EXPECT_EQ(Text(NumberText(999999999999999.0)), " 999999999999999");
    EXPECT_EQ(Text(NumberText(-123456789012345.0)), "-123456789012345");
}

TEST(NumberText, FractionsAndLongNumbersUseAPointOrAnExponent) {
    EXPECT_EQ(Text(NumberText(0.5)), " 0.5");
    EXPECT_EQ(Text(NumberText(-2.25)), "-2.25");
    EXPECT_EQ(Text(NumberText(0.1 + 0.2)), " 0.3");
    EXPECT_EQ(Text(NumberText(1e15)), " 1E+15");
    EXPECT_EQ(Text(NumberText(-1.5e20)), "-1.5E+20");
    EXPECT_EQ(Text(NumberText(1e-5)), " 1E-05");
    EXPECT_EQ(Text(NumberText(std::numeric_limits<double>::infinity())), " Inf");
}

TEST(NumberFromText, ReadsTheLeadingNumberAndIgnoresTheRest) {
    EXPECT_EQ(FromText("9 Alfabetizzo dal cursore"), 9);
    EXPECT_EQ(FromText("  -12.5e1x"), -125);
    EXPECT_EQ(FromText("abc"), 0);
    EXPECT_EQ(FromText("1 2"), 1);
    EXPECT_EQ(FromText(""), 0);
    EXPECT_EQ(FromText("\t\n +7"), 7);
    EXPECT_EQ(FromText("\r7"), 0); // only space, TAB and LF are skipped
    EXPECT_EQ(FromText("1.2.3"), 1.2);
    EXPECT_EQ(FromText("-.5"), -0.5);
    EXPECT_EQ(FromText("12D2"), 1200);
    EXPECT_EQ(FromText("12e"), 12);
    EXPECT_EQ(FromText("-"), 0);
    EXPECT_EQ(FromText("."), 0);
}

TEST(NumberFromText, DigitsBeyondEighteenOnlyScale) {
    // The 19th and later digits are dropped, not rounded in. The first 18 digits of the
    // first two texts lie exactly halfway between two doubles, so what happens to the rest
    // decides: dropped, the tie goes to the even neighbour; rounded in, or read in full,
    // the value goes up.
    EXPECT_EQ(FromText("9007199254740993.005"), 9007199254740992.0);
    EXPECT_EQ(FromText("9000000000000002565"), 9000000000000002048.0);
    EXPECT_EQ(FromText("1234567890123456789999"), 1234567890123456789e3);
    EXPECT_EQ(FromText("0.000000000000000000001234"), 1.234e-21);
    EXPECT_EQ(FromText("00012.50000000000000000000009"), 12.5);
}

TEST(NumberFromText, ExponentsAreCappedAndNeverCrash) {
    EXPECT_EQ(FromText("1e-99999999999999999999"), 0);
    EXPECT_TRUE(std::isinf(FromText("1e99999999999999999999")));
    EXPECT_EQ(FromText("0e99999"), 0);
}

TEST(FormatNumber, TheStatusLineMasks) {
    EXPECT_EQ(Format(1, "\"V: \"0"), "V: 1");
    EXPECT_EQ(Format(12, "\"V: \"0"), "V: 12");
    EXPECT_EQ(Format(1234, "\"V: \"0"), "V: 1234");
    EXPECT_EQ(Format(0, "\"V: \"0"), "V: 0");
    EXPECT_EQ(Format(1, "\" O: \"0"), " O: 1");
    EXPECT_EQ(Format(2147483647, "\" O: \"0"), " O: 2147483647");
}

TEST(FormatNumber, DigitPlaceholdersAndPoint) {
    EXPECT_EQ(Format(3.14159, "0.00"), "3.14");
    EXPECT_EQ(Format(7, "000"), "007");
    EXPECT_EQ(Format(12345, "00"), "12345");
    EXPECT_EQ(Format(0.5, "#.##"), ".5");
    EXPECT_EQ(Format(0, "#"), "");
    EXPECT_EQ(Format(1.5, "0.0#"), "1.5");
    EXPECT_EQ(Format(1.25, "0.0#"), "1.25");
    EXPECT_EQ(Format(12.5, ".00"), "12.50");
    EXPECT_EQ(Format(2.5, "0"), "2"); // ties to even, like every conversion
    EXPECT_EQ(Format(3.5, "0"), "4");
    EXPECT_EQ(Format(5551234, "000-0000"), "555-1234");
    EXPECT_EQ(Format(1234567, "#,##0"), "1,234,567");
    EXPECT_EQ(Format(123, "#,##0"), "123");
    EXPECT_EQ(Format(0.25, "0%"), "25%");
}

TEST(FormatNumber, LiteralsSignsAndSections) {
    EXPECT_EQ(Format(5, "\\#0"), "#5");
    EXPECT_EQ(Format(5, "$ (0)"), "$ (5)");
    EXPECT_EQ(Format(5, "\"abc"), "abc");
    EXPECT_EQ(Format(5, "x*E"), "x*E");
    EXPECT_EQ(Format(-3, "0"), "-3");
    EXPECT_EQ(Format(-3, "\"V: \"0"), "-V: 3");
    EXPECT_EQ(Format(-0.2, "0"), "0"); // no sign before a shown zero
    EXPECT_EQ(Format(-5, "0;(0);\"zero\""), "(5)");
    EXPECT_EQ(Format(0, "0;(0);\"zero\""), "zero");
    EXPECT_EQ(Format(5, "0;(0);\"zero\""), "5");
    EXPECT_EQ(Format(-5, "0;;\"zero\""), "-5");
    EXPECT_EQ(Format(5, "\"a;b\"0"), "a;b5");
    EXPECT_EQ(Format(-2.5, ""), "-2.5");
}

TEST(MinMax, OnTiesMinGivesTheFirstAndMaxTheSecond) {
    EXPECT_EQ(MinOf(3, 3), 3);
    EXPECT_EQ(MinOf(4, -2), -2);
    EXPECT_EQ(MaxOf(-1, 0), 0);
    EXPECT_EQ(MaxOf(7, 2), 7);
    EXPECT_TRUE(std::signbit(MinOf(-0.0, 0.0)));
    EXPECT_TRUE(std::signbit(MaxOf(0.0, -0.0)));
}

TEST(RgbColor, ClampsAndPacksRedLow) {
    EXPECT_EQ(RgbColor(300, -5, 128), 0x008000FF);
    EXPECT_EQ(RgbColor(0, 0, 100), 0x00640000);
    EXPECT_EQ(RgbColor(1, 2, 3), 0x00030201);
}

TEST(RoundToInteger, NearestWithTiesToEven) {
    EXPECT_EQ(RoundToInteger(0.5), 0);
    EXPECT_EQ(RoundToInteger(1.5), 2);
    EXPECT_EQ(RoundToInteger(2.5), 2);
    EXPECT_EQ(RoundToInteger(3.5), 4);
    EXPECT_EQ(RoundToInteger(-2.5), -2);
    EXPECT_EQ(RoundToInteger(-1.5), -2);
    EXPECT_EQ(RoundToInteger(-0.5), 0);
    EXPECT_EQ(RoundToInteger(2.4999999), 2);
    EXPECT_EQ(RoundToInteger(-2.5000001), -3);
    EXPECT_EQ(RoundToInteger(4503599627370497.0), 4503599627370497); // 2^52 + 1
}

TEST(RoundToInteger, ValuesWithoutAnIntegerGiveTheSmallest) {
    EXPECT_EQ(RoundToInteger(std::nan("")), INT64_MIN);
    EXPECT_EQ(RoundToInteger(1e300), INT64_MIN);
    EXPECT_EQ(RoundToInteger(-std::numeric_limits<double>::infinity()), INT64_MIN);
    EXPECT_EQ(RoundToInteger(-9223372036854775808.0), INT64_MIN);
    EXPECT_EQ(RoundToInteger(9223372036854774784.0), 9223372036854774784);
}

TEST(RoundToInt32, KeepsTheLowBits) {
    EXPECT_EQ(RoundToInt32(-1), -1);
    EXPECT_EQ(RoundToInt32(4294967301.0), 5);
    EXPECT_EQ(RoundToInt32(2147483648.0), INT32_MIN);
    EXPECT_EQ(RoundToInt32(6.5), 6);
}

TEST(NumberText, OutOfMemoryGivesEmptyAndError7) {
    if (!kAllocationsCanFail) {
        GTEST_SKIP() << "the real allocator cannot be made to fail";
    }
    ClearErrorNumber();
    FailAllocationsAfter(0);
    const DynString text = NumberText(12);
    const DynString formatted = FormatNumber(12, DynString());
    FailAllocationsAfter(-1);
    EXPECT_EQ(Text(text), "");
    EXPECT_EQ(Text(formatted), "");
    EXPECT_EQ(GetErrorNumber(), Err::OutOfMemory);
}
