// The number conversions lean on the C library's decimal conversions; these cases check
// that the Windows one gives the same text as everywhere else.
#include "runtime/NumberText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const DynString& s) {
    return std::string(s.View());
}

} // namespace

TEST(NumberText, ExponentsAndFractionsReadTheSameOnWindows) {
    EXPECT_EQ(Text(NumberText(1e15)), " 1E+15");
    EXPECT_EQ(Text(NumberText(1e-5)), " 1E-05");
    EXPECT_EQ(Text(NumberText(-2.25)), "-2.25");
    EXPECT_EQ(Text(NumberText(999999999999999.0)), " 999999999999999");
}

TEST(FormatNumber, RoundsTiesToEvenOnWindows) {
    EXPECT_EQ(Text(FormatNumber(2.5, DynString("0"))), "2");
    EXPECT_EQ(Text(FormatNumber(3.14159, DynString("0.00"))), "3.14");
    EXPECT_EQ(Text(FormatNumber(1234567, DynString("#,##0"))), "1,234,567");
    EXPECT_EQ(Text(FormatNumber(12, DynString("\"V: \"0"))), "V: 12");
}

TEST(NumberFromText, ConvertsLongDigitRunsOnWindows) {
    EXPECT_EQ(NumberFromText(DynString("  -12.5e1x")), -125);
    EXPECT_EQ(NumberFromText(DynString("0.000000000000000000001234")), 1.234e-21);
    EXPECT_EQ(NumberFromText(DynString("1e-99999")), 0);
}
