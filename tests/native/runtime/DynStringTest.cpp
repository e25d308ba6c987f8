#include "runtime/DynString.h"
#include "runtime/ErrorNumber.h"

#include "tests/native/runtime/FailAllocations.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

TEST(DynString, EmptyByDefault) {
    DynString s;
    EXPECT_EQ(s.Length(), 0u);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(s.Bytes(), "");
}

TEST(DynString, HoldsAnyByteAndKeepsATerminatorAfterThem) {
    const DynString s("a\0b\xFF", 4);
    EXPECT_EQ(s.Length(), 4u);
    EXPECT_EQ(s.View(), std::string_view("a\0b\xFF", 4));
    EXPECT_EQ(s.Bytes()[4], '\0');
    EXPECT_EQ(s.ByteAt(4), 0xFF);
    EXPECT_EQ(DynString("a\0b", 3), DynString("a\0b", 3));
    EXPECT_FALSE(DynString("a\0b", 3) == DynString("a\0c", 3));
}

TEST(DynString, CopiesAreIndependentValues) {
    DynString a("abc");
    DynString b = a;
    b.MutableBytes()[0] = 'x';
    EXPECT_EQ(a.View(), "abc");
    EXPECT_EQ(b.View(), "xbc");
    const DynString& same = a;
    a = same; // assigning a string to itself keeps the value
    EXPECT_EQ(a.View(), "abc");
    DynString c = std::move(a);
    EXPECT_EQ(c.View(), "abc");
    EXPECT_TRUE(a.IsEmpty()); // NOLINT(bugprone-use-after-move): a moved-from string is ""
}

TEST(DynString, AssigningTheSameLengthReusesTheBlock) {
    DynString target("abc");
    const char* block = target.Bytes();
    const DynString other("123");
    target = other;
    EXPECT_EQ(target.Bytes(), block);
    EXPECT_EQ(target.View(), "123");
    target = DynString("four");
    EXPECT_EQ(target.View(), "four");
}

TEST(DynString, FailedAllocationGivesEmptyAndError7) {
    if (!kAllocationsCanFail) {
        GTEST_SKIP() << "the real allocator cannot be made to fail";
    }
    const DynString original("abc");
    DynString target("longer text");
    ClearErrorNumber();
    {
        FailAllocations failing;
        const DynString fresh("abc");
        EXPECT_TRUE(fresh.IsEmpty());
        const DynString copy = original;
        EXPECT_TRUE(copy.IsEmpty());
        target = original;
        EXPECT_TRUE(DynString::OfLength(5).IsEmpty());
    }
    EXPECT_EQ(GetErrorNumber(), Err::OutOfMemory);
    EXPECT_TRUE(target.IsEmpty());
    EXPECT_EQ(original.View(), "abc");
}

#ifdef TALVERMOOR_CHECK_PRECONDITIONS
TEST(DynStringDeathTest, ByteAtOutsideTheStringStopsInTheCheckedTree) {
    const DynString ab("ab");
    EXPECT_EQ(ab.ByteAt(2), 'b');
    EXPECT_DEATH((void)ab.ByteAt(3), "position within the string");
    EXPECT_DEATH((void)ab.ByteAt(0), "position within the string");
    EXPECT_DEATH((void)DynString().ByteAt(1), "position within the string");
}
#endif
