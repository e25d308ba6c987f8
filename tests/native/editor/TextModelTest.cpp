#include "editor/TextModel.h"

#include "platform/Platform.h"
#include "runtime/StringFunctions.h"
#include "tests/support/StringContents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Edit(const std::string& line, std::int32_t column, const std::string& text,
                 std::int32_t mode) {
    return std::string(
        EditLine(DynString(std::string_view(line)), column, DynString(std::string_view(text)), mode)
            .View());
}

TEST(EditLine, InsertsOverwritesAndDeletesAtAColumn) {
    EXPECT_EQ(Edit("abc", 2, "xy", EditInsert), "axybc");
    EXPECT_EQ(Edit("abc", 4, "x", EditInsert), "abcx");
    EXPECT_EQ(Edit("abc", 2, "x", EditOverwrite), "axc");
    EXPECT_EQ(Edit("abc", 2, "", EditDelete), "ac");
    EXPECT_EQ(Edit("abc", 1, "", EditDelete), "bc");
    EXPECT_EQ(Edit("abc", 2, "x", 7), "abc");
}

TEST(EditLine, PadsAShortLineUpToTheColumn) {
    EXPECT_EQ(Edit("abc", 6, "x", EditInsert), "abc  x");
    EXPECT_EQ(Edit("abc", 6, "x", EditOverwrite), "abc  x");
    EXPECT_EQ(Edit("", 3, "date", EditOverwrite), "  date");
    // Padding and the typed space are trailing spaces, so the line stays as it was.
    EXPECT_EQ(Edit("abc", 4, " ", EditInsert), "abc");
    EXPECT_EQ(Edit("abc", 9, " ", EditOverwrite), "abc");
    EXPECT_EQ(Edit("abc", 9, "", EditDelete), "abc");
}

TEST(EditLine, OverwriteInsideTheLineStopsAtItsEnd) {
    EXPECT_EQ(Edit("abcdef", 5, "12-08-2026", EditOverwrite), "abcd12");
    EXPECT_EQ(Edit("abc", 2, "12-08-2026", EditOverwrite), "a12");
}

TEST(EditLine, TrimsTrailingSpacesOfEveryLineItTouches) {
    EXPECT_EQ(Edit("a b", 2, "", EditDelete), "ab");
    EXPECT_EQ(Edit("ab ", 2, "", EditDelete), "a");
    EXPECT_EQ(Edit("x  \t  ", 1, "y", EditInsert), "yx  \t");
    EXPECT_EQ(Edit("  ", 1, "", 5), "");
}

TEST(EditLine, KeepsEveryByteValue) {
    const std::string line("a\0b\xff", 4);
    EXPECT_EQ(Edit(line, 2, std::string("\xe8", 1), EditInsert), std::string("a\xe8\0b\xff", 5));
    EXPECT_EQ(Edit(line, 3, "", EditDelete), std::string("a\0\xff", 3));
}

TEST(EditLine, AColumnBeforeTheLineChangesNothing) {
    EXPECT_EQ(Edit("abc  ", 0, "x", EditInsert), "abc  ");
    EXPECT_EQ(Edit("abc", -5, "", EditDelete), "abc");
}

TEST(SplitLine, CutsTheLineAtTheColumn) {
    struct Case {
        std::int32_t column;
        std::string first;
        std::string second;
    };
    for (const Case& c : {Case{3, "he", "llo"}, Case{1, "", "hello"}, Case{6, "hello", ""},
                          Case{20, "hello", ""}}) {
        StringArray lines;
        Fill(lines, 0, {"", "top", "hello", "last  "});
        SplitLine(lines, 2, c.column);
        EXPECT_EQ(Contents(lines),
                  (std::vector<std::string>{"", "top", c.first, c.second, "last  "}))
            << "column " << c.column;
    }
}

TEST(SplitLine, KeepsSpacesOnBothSides) {
    StringArray lines;
    Fill(lines, 0, {"", "a  b  "});
    SplitLine(lines, 1, 3);
    EXPECT_EQ(Contents(lines), (std::vector<std::string>{"", "a ", " b  "}));
}

TEST(SplitLine, SplitsElementZeroOfAnEmptyText) {
    StringArray lines;
    Fill(lines, 0, {"abc"});
    SplitLine(lines, 0, 2);
    EXPECT_EQ(Contents(lines), (std::vector<std::string>{"a", "bc"}));
}

TEST(JoinWithNext, AppendsTheNextLineDirectly) {
    StringArray lines;
    Fill(lines, 0, {"", "ab", "cd", "ef"});
    JoinWithNext(lines, 1);
    EXPECT_EQ(Contents(lines), (std::vector<std::string>{"", "abcd", "ef"}));
    JoinWithNext(lines, 1);
    EXPECT_EQ(Contents(lines), (std::vector<std::string>{"", "abcdef"}));
}

TEST(JoinWithNext, WithoutANextLineChangesNothing) {
    StringArray lines;
    Fill(lines, 0, {"", "ab", "cd"});
    JoinWithNext(lines, 2);
    EXPECT_EQ(Contents(lines), (std::vector<std::string>{"", "ab", "cd"}));
}

TEST(LineOperations, LoseNoLineWhenMemoryRunsOut) {
    StringArray lines;
    Fill(lines, 0, {"", "hello", "world"});
    PosixFailAllocationsAfter(0);
    SplitLine(lines, 1, 3);
    JoinWithNext(lines, 1);
    PosixFailAllocationsAfter(-1);
    EXPECT_EQ(Contents(lines), (std::vector<std::string>{"", "hello", "world"}));
}

TEST(NormaliseView, ClampsInOrder) {
    ViewState view{-3, 0, 99, 5000};
    NormaliseView(view, 7);
    EXPECT_EQ(view.topLine, 1);
    EXPECT_EQ(view.firstColumn, 1);
    EXPECT_EQ(view.cursorLine, 7);
    EXPECT_EQ(view.cursorScreenColumn, 1000);

    // An empty text: the lower bound first, then the upper bound wins.
    ViewState empty{5, 3, 0, 0};
    NormaliseView(empty, 0);
    EXPECT_EQ(empty.topLine, 0);
    EXPECT_EQ(empty.cursorLine, 0);
    EXPECT_EQ(empty.firstColumn, 3);
    EXPECT_EQ(empty.cursorScreenColumn, 1);
}

} // namespace
