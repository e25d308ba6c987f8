#include "runtime/ErrorNumber.h"
#include "runtime/StringArray.h"
#include "runtime/StringFunctions.h"

#include "tests/native/runtime/FailAllocations.h"
#include "tests/support/StringContents.h"

#include <gtest/gtest.h>

#include <string>

namespace {

DynString Bytes(std::string_view bytes) {
    return DynString(bytes);
}

const DynString hello("hello");

} // namespace

TEST(CompareStrings, UnsignedBytesThenLength) {
    EXPECT_EQ(CompareStrings(DynString("abc"), DynString("abd")), -1);
    EXPECT_EQ(CompareStrings(DynString("ab"), DynString("abc")), -1);
    EXPECT_EQ(CompareStrings(DynString("B"), DynString("a")), -1);
    EXPECT_EQ(CompareStrings(DynString("\x7B"), DynString("z")), 1);
    EXPECT_EQ(CompareStrings(DynString("\x80"), DynString("zzz")), 1);
    EXPECT_EQ(CompareStrings(DynString(""), DynString("")), 0);
    EXPECT_EQ(CompareStrings(DynString(""), Bytes(std::string_view("\0", 1))), -1);
    EXPECT_EQ(CompareStrings(Bytes({"a\0b", 3}), Bytes({"a\0c", 3})), -1);
    EXPECT_EQ(CompareStrings(Bytes({"a\0b", 3}), Bytes({"a\0b", 3})), 0);
}

TEST(CharString, LowByteOfEachCodeAndNothingForMinusOne) {
    EXPECT_EQ(Text(CharString({65, 66})), "AB");
    EXPECT_EQ(Text(CharString({321})), "A");
    EXPECT_EQ(Text(CharString({-1})), "");
    EXPECT_EQ(Text(CharString({32, -1, 255, 0})), std::string("\x20\xFF\0", 3));
    EXPECT_EQ(Text(CharString({-2})), "\xFE");
}

TEST(SpaceString, CountSpacesAndNegativeIsError7) {
    EXPECT_EQ(Text(SpaceString(3)), "   ");
    EXPECT_EQ(Text(SpaceString(0)), "");
    ClearErrorNumber();
    EXPECT_EQ(Text(SpaceString(-1)), "");
    EXPECT_EQ(GetErrorNumber(), Err::OutOfMemory);
}

TEST(SpaceString, TheLargestCountFailsCleanlyOrSucceedsWhole) {
    ClearErrorNumber();
    const DynString huge = SpaceString(kAllBytes);
    if (huge.IsEmpty()) {
        EXPECT_EQ(GetErrorNumber(), Err::OutOfMemory);
    } else {
        EXPECT_EQ(huge.Length(), static_cast<std::uint32_t>(kAllBytes));
        EXPECT_EQ(huge.ByteAt(huge.Length()), ' ');
    }
}

TEST(Substring, StartsAndCounts) {
    EXPECT_EQ(Text(Substring(hello, 1, 3)), "hel");
    EXPECT_EQ(Text(Substring(hello, 4, kAllBytes)), "lo");
    EXPECT_EQ(Text(Substring(hello, 6, 1)), "");
    EXPECT_EQ(Text(Substring(hello, 0, 3)), "");
    EXPECT_EQ(Text(Substring(hello, -1, 1)), "o");
    EXPECT_EQ(Text(Substring(hello, -5, 2)), "he");
    EXPECT_EQ(Text(Substring(hello, -6, 2)), "");
    EXPECT_EQ(Text(Substring(hello, INT32_MIN, 2)), "");
    EXPECT_EQ(Text(Substring(hello, 1, -1)), "hell");
    EXPECT_EQ(Text(Substring(hello, 2, -5)), "");     // n + count = 0
    EXPECT_EQ(Text(Substring(hello, 2, -6)), "ello"); // still negative: no limit
    EXPECT_EQ(Text(Substring(hello, 2, INT32_MIN)), "ello");
    EXPECT_EQ(Text(Substring(hello, 2, 0)), "");
    EXPECT_EQ(Text(Substring(DynString(), 1, 1)), "");
    EXPECT_EQ(Text(Substring(Bytes({"a\0b", 3}), 2, 2)), std::string("\0b", 2));
}

TEST(RightPart, LastBytes) {
    EXPECT_EQ(Text(RightPart(hello, 2)), "lo");
    EXPECT_EQ(Text(RightPart(hello, 9)), "hello");
    EXPECT_EQ(Text(RightPart(hello, 0)), "");
    EXPECT_EQ(Text(RightPart(hello, -2)), "llo");
    EXPECT_EQ(Text(RightPart(hello, -9)), "hello"); // negative taken as unsigned: all
    EXPECT_EQ(Text(RightPart(Bytes({"\0\0x", 3}), 2)), std::string("\0x", 2));
}

TEST(OverwriteAt, ReplacesInPlaceWithoutChangingTheLength) {
    auto overwrite = [](const char* v, std::int32_t start, std::int32_t count, const char* r) {
        DynString target(v);
        OverwriteAt(target, start, count, DynString(r));
        return Text(target);
    };
    EXPECT_EQ(overwrite("abcdef", 3, kAllBytes, "XYZW"), "abXYZW");
    EXPECT_EQ(overwrite("abcdef", 5, kAllBytes, "XYZ"), "abcdXY");
    EXPECT_EQ(overwrite("abcdef", 7, kAllBytes, "X"), "abcdef");
    EXPECT_EQ(overwrite("abcdef", 9, kAllBytes, "X"), "abcdef");
    EXPECT_EQ(overwrite("abcdef", 0, kAllBytes, "X"), "abcdef");
    EXPECT_EQ(overwrite("abcdef", -1, kAllBytes, "XY"), "abcdeX");
    EXPECT_EQ(overwrite("abcdef", -7, kAllBytes, "XY"), "abcdef");
    EXPECT_EQ(overwrite("abcdef", 2, 1, "XY"), "aXcdef");
    EXPECT_EQ(overwrite("abcdef", 2, -4, "XYZ"), "aXYdef"); // count n - 4
    EXPECT_EQ(overwrite("abcdef", 2, -7, "XYZ"), "abcdef");
    EXPECT_EQ(overwrite("", 1, kAllBytes, "X"), "");

    DynString self("abcdef");
    OverwriteAt(self, 3, kAllBytes, self);
    EXPECT_EQ(Text(self), "ababcd");
}

TEST(CaseMapping, LettersAndTheSevenAccentedPairs) {
    const unsigned char pairs[7][2] = {{0x8E, 0x84}, {0x99, 0x94}, {0x9A, 0x81}, {0x90, 0x82},
                                       {0xA5, 0xA4}, {0x8F, 0x86}, {0x80, 0x87}};
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    std::string upper = all;
    std::string lower = all;
    for (int byte = 'a'; byte <= 'z'; ++byte) {
        upper[byte] = static_cast<char>(byte - 32);
        lower[byte - 32] = static_cast<char>(byte);
    }
    for (const auto& pair : pairs) {
        upper[pair[1]] = static_cast<char>(pair[0]);
        lower[pair[0]] = static_cast<char>(pair[1]);
    }
    EXPECT_EQ(Text(ToUpper(Bytes(all))), upper);
    EXPECT_EQ(Text(ToLower(Bytes(all))), lower);
    int letters = 0;
    for (int byte = 0; byte < 256; ++byte) {
        letters += IsCaseLetter(static_cast<unsigned char>(byte)) ? 1 : 0;
    }
    EXPECT_EQ(letters, 52 + 14);
    EXPECT_TRUE(IsCaseLetter(0x80));
    EXPECT_FALSE(IsCaseLetter(0xE4));
    EXPECT_FALSE(IsCaseLetter('\''));
    EXPECT_EQ(Text(ToUpper(DynString("\x84\xE4"))), "\x8E\xE4");
}

TEST(ToProperCase, EveryLetterRunStartsUpperCase) {
    EXPECT_EQ(Text(ToProperCase(DynString("o'neil 2nd JOHN"))), "O'Neil 2Nd John");
    EXPECT_EQ(Text(ToProperCase(DynString("\x84\x84 \x9A\x9A"))), "\x8E\x84 \x9A\x81");
    EXPECT_EQ(Text(ToProperCase(Bytes({"ab\0cd", 5}))), std::string("Ab\0Cd", 5));
}

TEST(ReverseAndTrim, BytesAndSpacesOnly) {
    EXPECT_EQ(Text(ReverseString(Bytes({"ab\0c", 4}))), std::string("c\0ba", 4));
    EXPECT_EQ(Text(ReverseString(DynString())), "");
    EXPECT_EQ(Text(TrimRightSpaces(DynString("ab \t "))), "ab \t");
    EXPECT_EQ(Text(TrimLeftSpaces(DynString("  \tab "))), "\tab ");
    EXPECT_EQ(Text(TrimLeftSpaces(DynString("   "))), "");
    EXPECT_EQ(Text(TrimRightSpaces(DynString("   "))), "");
    EXPECT_EQ(Text(TrimRightSpaces(Bytes({"a\0 ", 3}))), std::string("a\0", 2));
}

TEST(FindSubstring, ForwardAndBackward) {
    const DynString dotted("a.b.c");
    const DynString dot(".");
    EXPECT_EQ(FindSubstring(1, dotted, dot), 2);
    EXPECT_EQ(FindSubstring(3, dotted, dot), 4);
    EXPECT_EQ(FindSubstring(5, dotted, dot), 0);
    EXPECT_EQ(FindSubstring(6, dotted, dot), 0);
    EXPECT_EQ(FindSubstring(-1, dotted, dot), 4);
    EXPECT_EQ(FindSubstring(-2, dotted, dot), 4);
    EXPECT_EQ(FindSubstring(-3, dotted, dot), 2);
    EXPECT_EQ(FindSubstring(-5, dotted, dot), 0);
    EXPECT_EQ(FindSubstring(-6, dotted, dot), 0);
    EXPECT_EQ(FindSubstring(-1, dotted, DynString("b.c")), 3);
    EXPECT_EQ(FindSubstring(-2, dotted, DynString("b.c")), 0); // must end by position 4
    EXPECT_EQ(FindSubstring(1, DynString(), dot), 0);
    EXPECT_EQ(FindSubstring(1, DynString(), DynString()), 0);
    EXPECT_EQ(FindSubstring(3, DynString("abc"), DynString()), 3);
    EXPECT_EQ(FindSubstring(-2, DynString("abc"), DynString()), 2);
    EXPECT_EQ(FindSubstring(1, DynString("ab"), DynString("abc")), 0);

    const DynString withNuls = Bytes({"x\0y\0", 4});
    const DynString nul = Bytes({"\0", 1});
    EXPECT_EQ(FindSubstring(1, withNuls, nul), 2);
    EXPECT_EQ(FindSubstring(-1, withNuls, nul), 4);
}

TEST(ExtractUntil, UpToTheDelimiterOrTheEnd) {
    EXPECT_EQ(Text(ExtractUntil(1, DynString("txt.elif\\dir"), DynString("\\"))), "txt.elif");
    EXPECT_EQ(Text(ExtractUntil(1, DynString("txt.elif"), DynString("\\"))), "txt.elif");
    EXPECT_EQ(Text(ExtractUntil(5, DynString("txt.elif\\dir"), DynString("\\"))), "elif");
    EXPECT_EQ(Text(ExtractUntil(9, DynString("txt.elif\\dir"), DynString("\\"))), "");
    EXPECT_EQ(Text(ExtractUntil(2, DynString("abc"), DynString())), "bc");
    EXPECT_EQ(Text(ExtractUntil(0, DynString("abc"), DynString("b"))), "");
    EXPECT_EQ(Text(ExtractUntil(4, DynString("abc"), DynString("b"))), "");
}

TEST(ReplaceAll, LeftToRightWithoutRescanning) {
    EXPECT_EQ(Text(ReplaceAll(DynString("|"), Bytes({"\0", 1}), DynString("a|b||"))),
              std::string("a\0b\0\0", 5));
    EXPECT_EQ(Text(ReplaceAll(DynString("aa"), DynString("x"), DynString("aaa"))), "xa");
    EXPECT_EQ(Text(ReplaceAll(DynString("a"), DynString("aa"), DynString("aba"))), "aabaa");
    EXPECT_EQ(Text(ReplaceAll(DynString("a"), DynString(), DynString("aaa"))), "");
    EXPECT_EQ(Text(ReplaceAll(DynString(), DynString("x"), DynString("abc"))), "abc");
    EXPECT_EQ(Text(ReplaceAll(DynString("q"), DynString("x"), DynString("abc"))), "abc");
    EXPECT_EQ(Text(ReplaceAll(DynString("a"), DynString("x"), DynString())), "");
}

TEST(ReplaceAll, AResultPastTheLargestLengthIsError5) {
    const DynString many = SpaceString(1024);
    const DynString wide = SpaceString((1 << 21) + 1); // 1,024 times this is past 2^31 - 1
    ASSERT_EQ(wide.Length(), (1u << 21) + 1);
    ClearErrorNumber();
    EXPECT_EQ(Text(ReplaceAll(DynString(" "), wide, many)), "");
    EXPECT_EQ(GetErrorNumber(), Err::InvalidArgument);
}

TEST(Fields, CountAndSplitOnWholeDelimiters) {
    const DynString space(" ");
    EXPECT_EQ(FieldCount(DynString(), space), 1);
    EXPECT_EQ(FieldCount(DynString("a  b"), space), 3);
    EXPECT_EQ(FieldCount(DynString("  a"), space), 3);
    EXPECT_EQ(FieldCount(DynString("aaa"), DynString("aa")), 2);
    EXPECT_EQ(FieldCount(DynString("a,\"b,c\",d"), DynString()), 3);

    StringArray words;
    ArrayRedim(words, 1, 3);
    SplitFields(DynString("  a"), words, space);
    EXPECT_EQ(Text(words[1]), "");
    EXPECT_EQ(Text(words[2]), "");
    EXPECT_EQ(Text(words[3]), "a");

    ArrayRedim(words, 1, 4);
    words[4] = DynString("old");
    SplitFields(DynString("x--y"), words, DynString("--"));
    EXPECT_EQ(Text(words[1]), "x");
    EXPECT_EQ(Text(words[2]), "y");
    EXPECT_EQ(Text(words[3]), "");
    EXPECT_EQ(Text(words[4]), "");

    ArrayRedim(words, 1, 2);
    SplitFields(DynString("a b c"), words, space);
    EXPECT_EQ(Text(words[1]), "a");
    EXPECT_EQ(Text(words[2]), "b"); // the extra field is dropped
}

TEST(Fields, SplittingAnElementOfTheSameArray) {
    StringArray words;
    ArrayRedim(words, 1, 3);
    words[1] = DynString("first second third");
    SplitFields(words[1], words, DynString(" "));
    EXPECT_EQ(Text(words[1]), "first");
    EXPECT_EQ(Text(words[2]), "second");
    EXPECT_EQ(Text(words[3]), "third");
    // The delimiter too may be an element, overwritten by the first field.
    words[1] = DynString("a, b, c");
    words[2] = DynString(", ");
    SplitFields(words[1], words, words[2]);
    EXPECT_EQ(Text(words[1]), "a");
    EXPECT_EQ(Text(words[2]), "b");
    EXPECT_EQ(Text(words[3]), "c");
}

TEST(StringFunctions, FailedAllocationGivesEmptyAndError7) {
    if (!kAllocationsCanFail) {
        GTEST_SKIP() << "the real allocator cannot be made to fail";
    }
    // The arguments exist before allocations start failing, so that each function meets
    // the failure in its own allocation and not in making its arguments.
    const DynString ab("ab");
    const DynString a("a");
    const DynString x("x");
    const auto failsWith7 = [](auto call) {
        ClearErrorNumber();
        FailAllocations failing;
        const DynString result = call();
        return result.IsEmpty() && GetErrorNumber() == Err::OutOfMemory;
    };
    EXPECT_TRUE(failsWith7([&] { return Concat(ab, ab); }));
    EXPECT_TRUE(failsWith7([&] { return Substring(hello, 2, 2); }));
    EXPECT_TRUE(failsWith7([&] { return ToUpper(ab); }));
    EXPECT_TRUE(failsWith7([] { return SpaceString(4); }));
    EXPECT_TRUE(failsWith7([&] { return ReplaceAll(a, x, ab); }));
    EXPECT_TRUE(failsWith7([] { return CharString({65}); }));
}

TEST(StringFunctions, NulBytesAreOrdinaryBytes) {
    const DynString a = Bytes({"a\0", 2});
    const DynString b = Bytes({"\0b", 2});
    const DynString joined = Concat(a, b);
    EXPECT_EQ(StringLength(joined), 4u);
    EXPECT_EQ(Text(joined), std::string("a\0\0b", 4));
    EXPECT_EQ(FindSubstring(1, joined, Bytes({"\0\0", 2})), 2);
    EXPECT_EQ(Text(ReplaceAll(Bytes({"\0", 1}), DynString("-"), joined)), "a--b");
    EXPECT_EQ(Text(ToUpper(joined)), std::string("A\0\0B", 4));
}
