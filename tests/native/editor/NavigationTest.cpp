#include "tests/native/editor/EditorHarness.h"

namespace {

std::vector<std::string> Numbered(int count) {
    std::vector<std::string> text;
    for (int i = 1; i <= count; ++i) {
        text.push_back("line " + std::to_string(i));
    }
    return text;
}

using Navigation = EditorTest;

TEST_F(Navigation, TheFirstCallPutsTheCursorAtTheTopLeft) {
    Open(Numbered(3));
    EXPECT_EQ(View(), (ViewState{1, 1, 1, 1}));
}

TEST_F(Navigation, UpAndLeftStopAtTheTopLeft) {
    Open(Numbered(3));
    Key(scan::Up);
    Key(scan::Left);
    EXPECT_EQ(View(), (ViewState{1, 1, 1, 1}));
}

TEST_F(Navigation, DownScrollsWhenTheCursorLeavesTheLastRowAndStopsAtTheLastLine) {
    Open(Numbered(12));
    for (int i = 0; i < 9; ++i) {
        Key(scan::Down);
    }
    EXPECT_EQ(View(), (ViewState{1, 1, 10, 1}));
    Key(scan::Down);
    EXPECT_EQ(View(), (ViewState{2, 1, 11, 1}));
    Key(scan::Down);
    Key(scan::Down);
    EXPECT_EQ(View(), (ViewState{3, 1, 12, 1}));
}

TEST_F(Navigation, UpScrollsWhenTheCursorLeavesTheFirstRow) {
    Open(Numbered(30));
    Key(scan::PageDown);
    EXPECT_EQ(View(), (ViewState{11, 1, 11, 1}));
    Key(scan::Up);
    EXPECT_EQ(View(), (ViewState{10, 1, 10, 1}));
}

TEST_F(Navigation, PageDownAndPageUpStopAtTheEdges) {
    Open(Numbered(30));
    Key(scan::Down);
    Key(scan::PageDown);
    EXPECT_EQ(View(), (ViewState{11, 1, 12, 1}));
    Key(scan::PageDown);
    EXPECT_EQ(View(), (ViewState{21, 1, 22, 1}));
    Key(scan::PageDown);
    EXPECT_EQ(View(), (ViewState{21, 1, 30, 1}));
    Key(scan::PageUp);
    EXPECT_EQ(View(), (ViewState{11, 1, 20, 1}));
    Key(scan::PageUp);
    Key(scan::PageUp);
    EXPECT_EQ(View(), (ViewState{1, 1, 1, 1}));
}

TEST_F(Navigation, PageDownOnATextShorterThanTheScreenGoesToTheLastLine) {
    Open(Numbered(3));
    Key(scan::PageDown);
    EXPECT_EQ(View(), (ViewState{1, 1, 3, 1}));
}

TEST_F(Navigation, HomeGoesToTheLineStartThenToTheTextStart) {
    Open(Numbered(30));
    MoveTo(25, 130);
    EXPECT_EQ(View(), (ViewState{16, 31, 25, 100}));
    Key(scan::Home);
    EXPECT_EQ(View(), (ViewState{16, 1, 25, 1}));
    Key(scan::Home);
    EXPECT_EQ(View(), (ViewState{1, 1, 1, 1}));
}

TEST_F(Navigation, EndGoesAfterTheLastByteThenToTheLastLine) {
    Open(Numbered(30));
    MoveTo(5, 2);
    Key(scan::End);
    EXPECT_EQ(View(), (ViewState{1, 1, 5, 7}));
    Key(scan::End);
    EXPECT_EQ(View(), (ViewState{21, 1, 30, 1}));
}

TEST_F(Navigation, EndOnALongLineScrollsSoTheCursorIsAtTheRightEdge) {
    Open({std::string(150, 'a'), std::string(99, 'b'), std::string(98, 'c')});
    Key(scan::End);
    EXPECT_EQ(View(), (ViewState{1, 52, 1, 100}));
    EXPECT_EQ(Column(), 151);
    MoveTo(2, 1);
    Key(scan::End);
    EXPECT_EQ(View(), (ViewState{1, 1, 2, 100}));
    MoveTo(3, 1);
    Key(scan::End);
    EXPECT_EQ(View(), (ViewState{1, 1, 3, 99}));
    // A second End from there: the whole text fits, so the top stays at line 1.
    Key(scan::End);
    EXPECT_EQ(View(), (ViewState{1, 1, 3, 1}));
}

TEST_F(Navigation, EndBeyondTheLineEndComesBackToIt) {
    Open({"abc"});
    MoveTo(1, 50);
    Key(scan::End);
    EXPECT_EQ(View(), (ViewState{1, 1, 1, 4}));
}

TEST_F(Navigation, RightHasNoStopAndScrollsAtTheEdgeLeftScrollsBack) {
    Open({"ab"});
    MoveTo(1, 105);
    EXPECT_EQ(View(), (ViewState{1, 6, 1, 100}));
    Key(scan::Home);
    Key(scan::Right);
    Key(scan::Left);
    Key(scan::Left);
    EXPECT_EQ(View(), (ViewState{1, 1, 1, 1}));
    fakes::controls.user[Canvas()] = {1, 6, 1, 1};
    Key(scan::Left);
    EXPECT_EQ(View(), (ViewState{1, 5, 1, 1}));
}

TEST_F(Navigation, TabJumpsToTheStartOfTheNextWord) {
    Open({"one two  three"});
    Key(scan::Tab, '\t');
    EXPECT_EQ(Column(), 5);
    Key(scan::Tab, '\t');
    EXPECT_EQ(Column(), 10);
}

TEST_F(Navigation, TabFromASpaceSkipsTheWordAfterIt) {
    Open({"ab cd ef"});
    MoveTo(1, 3);
    Key(scan::Tab, '\t');
    EXPECT_EQ(Column(), 7);
}

TEST_F(Navigation, TabScrollsAtTheRightEdge) {
    Open({std::string(99, 'a') + " b"});
    Key(scan::Tab, '\t');
    EXPECT_EQ(View(), (ViewState{1, 2, 1, 100}));
    EXPECT_EQ(Column(), 101);
}

TEST_F(Navigation, TabWithoutANextWordChangesNothingNotEvenTheTitle) {
    Open({"one two  ", "next"});
    MoveTo(1, 5);
    const ViewState before = View();
    const std::string title = Title();
    const int captions = fakes::controls.captionsSet;
    const int redraws = fakes::canvas.redraws;
    const std::vector<fakes::Drawn> screen = fakes::canvas.screen;

    Key(scan::Tab, '\t');
    EXPECT_EQ(View(), before);
    EXPECT_EQ(Title(), title);
    EXPECT_EQ(fakes::controls.captionsSet, captions);
    EXPECT_EQ(fakes::canvas.redraws, redraws);
    EXPECT_EQ(fakes::canvas.screen, screen);
    // A repaint from the backing bitmap still shows the text, not the bare background.
    EXPECT_EQ(fakes::Render(fakes::canvas.backing), fakes::Render(screen));

    Key(scan::Tab, '\t');
    EXPECT_EQ(View(), before);
}

TEST_F(Navigation, TabOnAnEmptyTextChangesNothing) {
    Open({});
    Key(scan::Tab, '\t');
    EXPECT_EQ(View(), (ViewState{0, 1, 0, 1}));
    EXPECT_EQ(fakes::canvas.redraws, 1);
}

TEST_F(Navigation, InsertTogglesTheMode) {
    Open({"a"});
    EXPECT_EQ(insertMode, 1);
    Key(scan::Insert);
    EXPECT_EQ(insertMode, 0);
    Key(scan::Insert);
    EXPECT_EQ(insertMode, 1);
    Key(scan::Insert);
    // The next editor window starts in insert mode again.
    Initialise();
    EXPECT_EQ(insertMode, 1);
}

using Zoom = EditorTest;

TEST_F(Zoom, StopsAtOneAndAtSeventyTwoPoints) {
    Open({"a"});
    for (int i = 0; i < 70; ++i) {
        Key(scan::ZoomIn);
    }
    EXPECT_EQ(fakes::canvas.fontSize, 72);
    EXPECT_NE(Title().find(" Font 72 ScanCode:-78"), std::string::npos) << Title();
    for (int i = 0; i < 80; ++i) {
        Key(scan::ZoomOut);
    }
    EXPECT_EQ(fakes::canvas.fontSize, 1);
    EXPECT_NE(Title().find(" Font 1 ScanCode:-74"), std::string::npos) << Title();
}

TEST_F(Zoom, OnlyTheLeftControlKeyZooms) {
    Open({""});
    Key(74, '-');
    Key(78, '+');
    EXPECT_EQ(fakes::canvas.fontSize, 9);
    EXPECT_EQ(Lines()[0], "-+");
}

TEST_F(Zoom, KeepsTheSizeForLaterKeysAndChangesTheVisibleArea) {
    Open({std::string(120, 'a')});
    Key(scan::ZoomIn);
    // 10 points: cells of 8 x 16, so 87 columns and 140 / 16 = 8.75 -> 9 rows.
    Key(scan::Right);
    EXPECT_EQ(fakes::canvas.fontSize, 10);
    ASSERT_FALSE(fakes::canvas.prints.empty());
    EXPECT_EQ(fakes::canvas.prints[0].text, std::string(87, 'a'));
    Initialise();
    EXPECT_EQ(fakes::canvas.fontSize, 9);
}

TEST_F(Zoom, TheCursorCanEndBelowTheDrawnRowsAndDownDoesNotScrollThere) {
    Open(Numbered(30));
    MoveTo(10, 1);
    for (int i = 0; i < 9; ++i) {
        Key(scan::ZoomIn);
    }
    // 18 points: 28-pixel rows, 5 of them.
    Key(scan::Down);
    EXPECT_EQ(View(), (ViewState{1, 1, 11, 1}));
    Key(scan::PageUp);
    EXPECT_EQ(View(), (ViewState{1, 1, 6, 1}));
    Key(scan::Up);
    Key(scan::Up);
    Key(scan::Down);
    EXPECT_EQ(View(), (ViewState{1, 1, 5, 1}));
    Key(scan::Down);
    EXPECT_EQ(View(), (ViewState{2, 1, 6, 1}));
}

// Small fonts on a wide screen: more columns fit than the cursor may reach (1000), so the
// view scrolls at the cursor's last column: Right, typing, End and Tab go on from there.
TEST_F(Navigation, BeyondAThousandColumnsTheViewScrollsAtTheCursorsLastColumn) {
    fakes::canvas.width = 7 * 1200; // 1200 columns at 9 points
    Open({"", std::string(1500, 'a'), std::string(1200, 'b') + " c"});
    MoveTo(1, 1100);
    EXPECT_EQ(View(), (ViewState{1, 101, 1, 1000}));
    Type("abc");
    Key(scan::Insert);
    Key(scan::Left);
    Key(scan::Left);
    Type("xy");
    EXPECT_EQ(Lines()[0], std::string(1099, ' ') + "axy");
    MoveTo(2, 1);
    Key(scan::End);
    EXPECT_EQ(View(), (ViewState{1, 502, 2, 1000}));
    MoveTo(3, 1);
    Key(scan::Tab, '\t');
    EXPECT_EQ(Column(), 1202);
}

} // namespace
