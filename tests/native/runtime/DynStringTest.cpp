#include "runtime/DynString.h"
#include "runtime/ErrorNumber.h"

#include <gtest/gtest.h>

TEST(DynString, EmptyByDefault) {
    DynString s;
    EXPECT_EQ(s.Length(), 0u);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(s.Bytes(), "");
}
