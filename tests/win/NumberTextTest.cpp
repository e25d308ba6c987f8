// Number text when memory runs out. The number tests of the runtime run natively and under
// Wine as well; only here can the C++ heap be refused.
#include "runtime/ErrorNumber.h"
#include "runtime/NumberText.h"
#include "tests/win/support/RefuseHeap.h"

#include <gtest/gtest.h>

TEST(FormatNumber, NoMemoryGivesEmptyAndError7) {
    const DynString mask("\"V: \"0.00");
    ClearErrorNumber();
    DynString text("kept");
    {
        RefuseHeap refused;
        text = FormatNumber(12.5, mask);
    }
    EXPECT_EQ(text.View(), "");
    EXPECT_EQ(GetErrorNumber(), Err::OutOfMemory);
    EXPECT_EQ(FormatNumber(12.5, mask).View(), "V: 12.50");
}
