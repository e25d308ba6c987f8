#include "tests/native/editor/EditorHarness.h"

namespace {

using Typing = EditorTest;

TEST_F(Typing, InsertsAtTheCursorAndAdvances) {
    Open({"abc"});
    MoveTo(1, 2);
    Type("xy");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"axybc"}));
    EXPECT_EQ(Column(), 4);
}

TEST_F(Typing, OverwritesInOverwriteModeAndGoesOnPastTheEnd) {
    Open({"abcd"});
    Key(scan::Insert);
    MoveTo(1, 2);
    Type("XYZW");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"aXYZW"}));
    EXPECT_EQ(Column(), 6);
}

TEST_F(Typing, BeyondTheLineEndFillsTheGapWithSpaces) {
    Open({"abc", "next"});
    MoveTo(1, 6);
    Type("x");
    EXPECT_EQ(Lines()[0], "abc  x");
    Type(" ");
    EXPECT_EQ(Lines()[0], "abc  x");
    EXPECT_EQ(Column(), 8);
}

TEST_F(Typing, TrimsTrailingSpacesOfTheTypedLineOnly) {
    Open({"ab   ", "cd   "});
    Type("x");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"xab", "cd   "}));
}

TEST_F(Typing, ScrollsOneColumnAtTheRightEdge) {
    Open({""});
    MoveTo(1, 100);
    EXPECT_EQ(View(), (ViewState{1, 1, 1, 100}));
    Type("x");
    EXPECT_EQ(View(), (ViewState{1, 2, 1, 100}));
    Type("y");
    EXPECT_EQ(View(), (ViewState{1, 3, 1, 100}));
    EXPECT_EQ(Lines()[0], std::string(99, ' ') + "xy");
}

TEST_F(Typing, TypesEveryByteFrom32To255AndNothingBelow) {
    Open({""});
    Key(scan::Tab, '\t');
    Key(scan::Esc, '\x1b');
    Key(scan::Backspace, '\b');
    Key(scan::LetterA, '\0');
    EXPECT_EQ(Lines()[0], "");
    EXPECT_EQ(Column(), 1);
    Key(scan::LetterA, '!');
    Key(scan::LetterA, '\xff');
    Key(scan::LetterA, '\x80');
    EXPECT_EQ(Lines()[0], "!\xff\x80");
}

TEST_F(Typing, ControlWithAKeyStillTypesItsCharacter) {
    Open({""});
    Key(-scan::LetterA, 'a');
    EXPECT_EQ(Lines()[0], "a");
}

TEST_F(Typing, KeypadDigitsTypeAndThenActAsTheirKey) {
    Open({"abc", "def"});
    Key(scan::Down, '2');
    EXPECT_EQ(Lines(), (std::vector<std::string>{"2abc", "def"}));
    EXPECT_EQ(View(), (ViewState{1, 1, 2, 2}));

    Key(scan::Insert, '0');
    EXPECT_EQ(Lines(), (std::vector<std::string>{"2abc", "d0ef"}));
    EXPECT_EQ(insertMode, 0);

    // The decimal point types, then deletes the byte at the cursor's new column.
    Key(scan::Delete, '.');
    EXPECT_EQ(Lines(), (std::vector<std::string>{"2abc", "d0."}));
    EXPECT_EQ(Column(), 4);
}

TEST_F(Typing, AnEmptyTextIsEditedInElementZero) {
    Open({});
    Type("hi");
    EXPECT_EQ(ArrayUpperBound(LineArray), 0);
    EXPECT_EQ(std::string(LineArray[0].View()), "hi");
    EXPECT_EQ(View(), (ViewState{0, 1, 0, 3}));
}

TEST_F(Typing, ATextThatWasNeverCreatedIsTheEmptyText) {
    ArrayErase(LineArray);
    Initialise();
    Type("a");
    EXPECT_EQ(ArrayUpperBound(LineArray), 0);
    EXPECT_EQ(std::string(LineArray[0].View()), "a");
}

TEST_F(Typing, EscAndBackspaceChangeNothingButStillRedraw) {
    Open({"abc"});
    MoveTo(1, 2);
    const int redraws = fakes::canvas.redraws;
    Key(scan::Esc, '\x1b');
    Key(scan::Backspace, '\b');
    EXPECT_EQ(Lines(), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(Column(), 2);
    EXPECT_EQ(fakes::canvas.redraws, redraws + 2);
}

} // namespace
