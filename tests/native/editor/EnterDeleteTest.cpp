#include "tests/native/editor/EditorHarness.h"

namespace {

using EnterKey = EditorTest;
using DeleteKey = EditorTest;

TEST_F(EnterKey, InInsertModeSplitsPicksTheLineAndAsksTheWindowToClose) {
    Open({"hello", "world"});
    MoveTo(1, 3);
    EXPECT_EQ(Key(scan::Enter, '\r'), scan::Down);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"he", "llo", "world"}));
    EXPECT_EQ(View(), (ViewState{1, 1, 2, 1}));
    EXPECT_EQ(std::string(selectedLine.View()), "hello");
    ASSERT_EQ(fakes::controls.posted.size(), 1u);
    EXPECT_EQ(fakes::controls.posted[0].window, Window());
    EXPECT_EQ(fakes::controls.posted[0].message, 16u);
    EXPECT_EQ(fakes::controls.posted[0].wParam, 0u);
    EXPECT_EQ(fakes::controls.posted[0].lParam, 0);
    EXPECT_NE(Title().find(" ScanCode: 80 - ChrCode: \r"), std::string::npos) << Title();
}

TEST_F(EnterKey, InOverwriteModeOnlyMovesDown) {
    Open({"hello", "world"});
    Key(scan::Insert);
    MoveTo(1, 3);
    Key(scan::Enter, '\r');
    EXPECT_EQ(Lines(), (std::vector<std::string>{"hello", "world"}));
    EXPECT_EQ(View(), (ViewState{1, 1, 2, 3}));
    EXPECT_EQ(std::string(selectedLine.View()), "hello");
    EXPECT_EQ(fakes::controls.posted.size(), 1u);
}

TEST_F(EnterKey, AfterTheLastByteOfTheLastLineAppendsAnEmptyLine) {
    Open({"ab", "cd"});
    MoveTo(2, 3);
    Key(scan::Enter, '\r');
    EXPECT_EQ(Lines(), (std::vector<std::string>{"ab", "cd", ""}));
    EXPECT_EQ(View().cursorLine, 3);
}

TEST_F(EnterKey, OnAScrolledLineSplitsAtTheTextColumnAndReturnsToTheLeftEdge) {
    Open({std::string(120, 'a') + "b"});
    MoveTo(1, 121);
    EXPECT_EQ(View().firstColumn, 22);
    Key(scan::Enter, '\r');
    EXPECT_EQ(Lines(), (std::vector<std::string>{std::string(120, 'a'), "b"}));
    EXPECT_EQ(View(), (ViewState{1, 1, 2, 1}));
}

TEST_F(EnterKey, SplitsElementZeroOfAnEmptyText) {
    Open({});
    Type("ab");
    Key(scan::Left);
    Key(scan::Enter, '\r');
    EXPECT_EQ(std::string(LineArray[0].View()), "a");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"b"}));
    EXPECT_EQ(View(), (ViewState{1, 1, 1, 1}));
    EXPECT_EQ(std::string(selectedLine.View()), "ab");
}

TEST_F(EnterKey, OnAnEmptyLineClearsThePick) {
    Open({"abc", ""});
    Key(scan::Insert);
    Key(scan::Enter, '\r');
    EXPECT_EQ(std::string(selectedLine.View()), "abc");
    Key(scan::Enter, '\r');
    EXPECT_TRUE(selectedLine.IsEmpty());
}

TEST_F(DeleteKey, RemovesTheByteAtTheCursorAndTrims) {
    Open({"a b", "ab "});
    MoveTo(1, 2);
    Key(scan::Delete);
    MoveTo(2, 2);
    Key(scan::Delete);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"ab", "a"}));
}

TEST_F(DeleteKey, AtOrBeyondTheEndJoinsTheNextLineDirectly) {
    Open({"ab", "cd", "ef", "gh"});
    MoveTo(1, 3);
    Key(scan::Delete);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"abcd", "ef", "gh"}));
    MoveTo(1, 9);
    Key(scan::Delete);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"abcdef", "gh"}));
    EXPECT_EQ(View(), (ViewState{1, 1, 1, 9}));
}

TEST_F(DeleteKey, JoinKeepsTheTrailingSpacesOfALoadedLine) {
    Open({"ab  ", "cd"});
    MoveTo(1, 5);
    Key(scan::Delete);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"ab  cd"}));
}

TEST_F(DeleteKey, AtTheEndOfTheLastLineChangesNothing) {
    Open({"ab", "cd"});
    MoveTo(2, 3);
    Key(scan::Delete);
    MoveTo(2, 40);
    Key(scan::Delete);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"ab", "cd"}));
}

TEST_F(DeleteKey, AtTheEndOfTheLastButOneLineJoinsTheLastLine) {
    std::vector<std::string> text(30, "x");
    Open(text);
    MoveTo(30, 1);
    Key(scan::Delete);
    EXPECT_EQ(ArrayUpperBound(LineArray), 30);
    EXPECT_EQ(Lines()[29], "");
    MoveTo(29, 2);
    Key(scan::Delete);
    EXPECT_EQ(ArrayUpperBound(LineArray), 29);
    EXPECT_EQ(View().cursorLine, 29);
}

} // namespace
