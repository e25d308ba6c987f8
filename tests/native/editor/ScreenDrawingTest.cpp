#include "editor/ScreenDrawing.h"
#include "tests/native/editor/EditorHarness.h"

#include <algorithm>

namespace {

class ScreenDrawing : public EditorTest {
  protected:
    // A canvas of 5 columns and 3 rows.
    void SetUp() override {
        EditorTest::SetUp();
        fakes::canvas.width = 35;
        fakes::canvas.height = 42;
    }

    // The calls of the last key event, from its CanvasAttach on.
    static std::vector<std::string> LastCalls() {
        const auto& calls = fakes::canvas.calls;
        for (std::size_t i = calls.size(); i-- > 0;) {
            if (calls[i].rfind("attach ", 0) == 0) {
                return {calls.begin() + static_cast<std::ptrdiff_t>(i), calls.end()};
            }
        }
        return {};
    }

    // The calls after the text font has been measured.
    static std::vector<std::string> DrawingCalls() {
        const std::vector<std::string> calls = LastCalls();
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (calls[i] == "charsize") {
                return {calls.begin() + static_cast<std::ptrdiff_t>(i) + 1, calls.end()};
            }
        }
        return {};
    }

    static fakes::Print CursorCell() { return fakes::canvas.prints.back(); }
};

TEST_F(ScreenDrawing, TheFirstScreenDrawsTheBackgroundTheRowsTheGuidesAndTheCursor) {
    Open({"hello world", "wo"});
    EXPECT_EQ(LastCalls(), (std::vector<std::string>{
                               "attach 110 128",
                               "clear 16777215 0",
                               "size",
                               "visible size",
                               "picture fondo.bmp 0 0 35 42",
                               "getpixels",
                               "font courier new 9 0",
                               "charsize",
                               "textcolour 0",
                               "backcolour -2",
                               "move 0 0",
                               "print 'hello'",
                               "textcolour 0",
                               "backcolour -2",
                               "move 0 14",
                               "print 'wo   '",
                               "move 0 14",
                               "line 35 14 12632256",
                               "move -1 0",
                               "line -1 42 12632256",
                               "textcolour 16777215",
                               "backcolour 255",
                               "move 0 0",
                               "print 'h'",
                               "redraw",
                           }));
}

TEST_F(ScreenDrawing, LaterScreensRestoreTheCapturedBackground) {
    Open({"abc"});
    Key(scan::Right);
    const std::vector<std::string> calls = LastCalls();
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[4], "setpixels");
    EXPECT_EQ(fakes::canvas.backing[1], "picture fondo.bmp");

    // A later editor window keeps the picture of the program's first screen.
    const DynString bits = backgroundBits;
    SetUp();
    backgroundBits = bits;
    Open({"abc"});
    EXPECT_EQ(LastCalls()[4], "setpixels");
    EXPECT_EQ(fakes::canvas.pictureLoads, 0);
    EXPECT_EQ(fakes::canvas.backing[1], "picture fondo.bmp");
}

TEST_F(ScreenDrawing, AMissingPictureLeavesAWhiteBackgroundThatIsKept) {
    fakes::canvas.pictureExists = false;
    Open({"abc"});
    Key(scan::Right);
    EXPECT_EQ(LastCalls()[4], "setpixels");
    EXPECT_EQ(fakes::canvas.backing[0], "clear 16777215");
    EXPECT_EQ(fakes::canvas.backing[1].rfind("text ", 0), 0u);
}

TEST_F(ScreenDrawing, PrintsOneRowMoreThanFitsAndStopsAtTheLastLine) {
    Open({"1", "2", "3", "4", "5", "6"});
    std::vector<std::string> rows;
    for (const fakes::Print& print : fakes::canvas.prints) {
        rows.push_back(print.text);
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"1    ", "2    ", "3    ", "4    ", "1"}));
    EXPECT_EQ(fakes::canvas.prints[3].y, 42);
}

TEST_F(ScreenDrawing, ShowsTheScrolledPartOfEachLineCutAtTheRightEdge) {
    Open({"abcdefghij", "ab", "abcdefg"});
    MoveTo(1, 8);
    EXPECT_EQ(View(), (ViewState{1, 4, 1, 5}));
    const auto& prints = fakes::canvas.prints;
    ASSERT_EQ(prints.size(), 4u);
    EXPECT_EQ(prints[0].text, "defgh");
    EXPECT_EQ(prints[1].text, "     ");
    EXPECT_EQ(prints[2].text, "defg ");
    EXPECT_EQ(prints[2].textColour, 0);
    EXPECT_EQ(prints[2].backColour, -2);
}

TEST_F(ScreenDrawing, GuidesCrossAtTheCursorCell) {
    Open({"abc", "def", "ghi"});
    MoveTo(2, 3);
    const std::vector<std::string> calls = DrawingCalls();
    const std::vector<std::string> guides(calls.end() - 9, calls.end() - 5);
    EXPECT_EQ(guides, (std::vector<std::string>{"move 0 28", "line 35 28 12632256", "move 13 0",
                                                "line 13 42 12632256"}));
    EXPECT_EQ(CursorCell().x, 14);
    EXPECT_EQ(CursorCell().y, 14);
    EXPECT_EQ(CursorCell().text, "f");
}

TEST_F(ScreenDrawing, TheCursorCellIsRedInInsertModeAndGreyInOverwriteMode) {
    Open({"abc"});
    EXPECT_EQ(CursorCell().textColour, 0xFFFFFF);
    EXPECT_EQ(CursorCell().backColour, 0x0000FF);
    Key(scan::Insert);
    EXPECT_EQ(CursorCell().textColour, 0xFFFFFF);
    EXPECT_EQ(CursorCell().backColour, 0x808080);
}

TEST_F(ScreenDrawing, TheCursorCellShowsUpTo1000ColumnsBeyondTheLineEnd) {
    Open({"ab"});
    fakes::controls.user[Canvas()] = {1, 998, 1, 5};
    Key(scan::Esc);
    EXPECT_EQ(Column(), 1002);
    EXPECT_EQ(CursorCell().text, " ");
    EXPECT_EQ(CursorCell().backColour, 0x0000FF);
    Key(scan::Right);
    EXPECT_EQ(Column(), 1003);
    EXPECT_EQ(CursorCell().text, "");
    EXPECT_EQ(DrawingCalls().end()[-2], "print ''");
}

TEST_F(ScreenDrawing, AnEmptyTextDrawsElementZero) {
    Open({});
    Type("xy");
    const auto& prints = fakes::canvas.prints;
    ASSERT_EQ(prints.size(), 2u);
    EXPECT_EQ(prints[0].text, "xy   ");
    EXPECT_EQ(prints[0].y, 0);
}

TEST_F(ScreenDrawing, TheCursorBelowTheRowsIsStillDrawnThereWithItsGuide) {
    std::vector<std::string> text(12, "x");
    Open(text);
    fakes::controls.user[Canvas()] = {1, 1, 9, 1};
    Key(scan::Esc);
    EXPECT_EQ(fakes::canvas.prints.size(), 5u);
    EXPECT_EQ(CursorCell().y, 8 * 14);
    const std::vector<std::string> calls = DrawingCalls();
    EXPECT_EQ(calls.end()[-9], "move 0 126");
}

TEST_F(ScreenDrawing, OnlyWholeRowsAndColumnsOfTheSeenPartCount) {
    std::vector<std::string> text(20, std::string(40, 'x'));
    // 10 x 10 cells on a 200 x 100 canvas, partly hidden at its bottom and right edge.
    for (const auto& [hidden, count] :
         {std::pair{0, 10}, std::pair{5, 9}, std::pair{14, 8}, std::pair{25, 7}}) {
        SetUp();
        fakes::canvas.cell = [](std::int32_t) { return std::pair<double, double>{10, 10}; };
        fakes::canvas.width = 200;
        fakes::canvas.height = 100;
        fakes::canvas.hiddenHeight = hidden;
        fakes::canvas.hiddenWidth = 100 + hidden;
        Open(text);
        Key(scan::PageDown);
        EXPECT_EQ(View().cursorLine, 1 + count) << "hidden " << hidden;
        Key(scan::End);
        EXPECT_EQ(View().cursorScreenColumn, count) << "hidden " << hidden;
    }
}

TEST_F(ScreenDrawing, EveryCompletedKeyRedrawsOnce) {
    Open({"abc"});
    for (std::int32_t code : {scan::Right, scan::Esc, scan::ZoomIn, scan::Insert, 200}) {
        Key(code);
    }
    EXPECT_EQ(fakes::canvas.redraws, 6);
    EXPECT_EQ(std::count(fakes::canvas.calls.begin(), fakes::canvas.calls.end(), "redraw"), 6);
}

TEST_F(ScreenDrawing, WithoutACanvasNothingFitsAndNothingBreaks) {
    fakes::canvas.id = 999;
    Open({"abc", "def"});
    Type("x");
    Key(scan::Down);
    Key(scan::Tab, '\t');
    EXPECT_EQ(fakes::canvas.prints.size(), 0u);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"xabc", "def"}));
    EXPECT_EQ(View(), (ViewState{1, 2, 2, 1}));
}

using StatusTitle = EditorTest;

TEST_F(StatusTitle, TheFirstTitleShowsTheTopLeftInInsertMode) {
    Open({"abc"});
    EXPECT_EQ(Title(), "F1=menu Ctrl+,Ctrl-=zoom Tab=next word Esc=end  "
                       "V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: ");
}

TEST_F(StatusTitle, ShowsLineColumnModeFontAndTheKey) {
    std::vector<std::string> text(20, "abcdef");
    Open(text);
    MoveTo(12, 4);
    Key(scan::LetterA, 'a');
    EXPECT_EQ(Title(),
              std::string(HelpText) + "V: 12 O: 5 Insert ON Font 9 ScanCode: 30 - ChrCode: a");
    Key(scan::Insert);
    Key(scan::ZoomOut);
    EXPECT_EQ(Title(),
              std::string(HelpText) +
                  "V: 12 O: 5 Insert OFF Font 8 ScanCode:-74 - ChrCode: " + std::string(1, '\0'));
}

TEST_F(StatusTitle, ShowsLineZeroForAnEmptyText) {
    Open({});
    EXPECT_EQ(Title(),
              std::string(HelpText) + "V: 0 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: ");
}

} // namespace
