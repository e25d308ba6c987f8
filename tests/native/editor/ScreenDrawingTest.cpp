#include "editor/EditorDisplay.h"
#include "editor/ScreenDrawing.h"
#include "tests/native/editor/EditorHarness.h"

namespace {

// The fake font's cell at 9 points.
constexpr int kCellWidth = 7;
constexpr int kCellHeight = 14;
constexpr std::int32_t kBlack = 0;
constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kGuideGrey = 0xC0C0C0;
constexpr std::int32_t kInsertRed = 0x0000FF;
constexpr std::int32_t kOverwriteGrey = 0x808080;
const std::string kNoText(5, '\0');

class ScreenDrawing : public EditorTest {
  protected:
    // A canvas of 5 columns and 3 rows.
    void SetUp() override {
        EditorTest::SetUp();
        fakes::canvas.width = 35;
        fakes::canvas.height = 42;
    }

    // What the last redraw showed.
    static fakes::Rendered Shown() { return fakes::Render(fakes::canvas.screen); }

    // The middle of a cell, counted from 0 at the top left.
    static fakes::Pixel Cell(const fakes::Rendered& shown, int column, int row) {
        return shown.At(column * kCellWidth + kCellWidth / 2, row * kCellHeight + kCellHeight / 2);
    }

    // The characters of a row's cells, 0 where there is no text.
    static std::string Row(const fakes::Rendered& shown, int row) {
        std::string text;
        for (int column = 0; (column + 1) * kCellWidth <= shown.width; ++column) {
            text += Cell(shown, column, row).glyph;
        }
        return text;
    }

    // Whether every pixel of a pixel row, or of a pixel column, has the colour.
    static bool RowIs(const fakes::Rendered& shown, int y, std::int32_t colour) {
        for (int x = 0; x < shown.width; ++x) {
            if (shown.At(x, y).colour != colour) {
                return false;
            }
        }
        return true;
    }
    static bool ColumnIs(const fakes::Rendered& shown, int x, std::int32_t colour) {
        for (int y = 0; y < shown.height; ++y) {
            if (shown.At(x, y).colour != colour) {
                return false;
            }
        }
        return true;
    }
};

TEST_F(ScreenDrawing, TheFirstScreenDrawsTheBackgroundTheRowsTheGuidesAndTheCursor) {
    Open({"hello world", "wo"});
    // Drawn off the screen and shown at once, in the text font.
    EXPECT_EQ(fakes::canvas.attachOption, kCanvasDeferredRedraw);
    EXPECT_EQ(fakes::canvas.redraws, 1);
    EXPECT_EQ(fakes::canvas.screen, fakes::canvas.backing);
    EXPECT_EQ(fakes::canvas.fontFace, "courier new");
    EXPECT_EQ(fakes::canvas.fontSize, 9);
    EXPECT_EQ(fakes::canvas.fontStyle, 0);

    // The picture over the whole canvas, kept as the background of later screens.
    EXPECT_EQ(fakes::canvas.pictureName, "fondo.bmp");
    const fakes::Rendered background = fakes::Render(backgroundBits);
    EXPECT_EQ(background.Count(fakes::kPictureColour), 35 * 42);

    // The rows in black on the picture, cut at the right edge, padded to it with spaces.
    const fakes::Rendered shown = Shown();
    EXPECT_EQ(Row(shown, 0), "hello");
    EXPECT_EQ(Row(shown, 1), "wo   ");
    EXPECT_EQ(Row(shown, 2), kNoText);
    EXPECT_EQ(Cell(shown, 1, 0), (fakes::Pixel{fakes::kPictureColour, 'e', kBlack}));
    EXPECT_EQ(Cell(shown, 4, 1), (fakes::Pixel{fakes::kPictureColour, ' ', kBlack}));
    // The row guide under the cursor's row; the column guide runs left of the canvas,
    // out of sight.
    EXPECT_TRUE(RowIs(shown, 14, kGuideGrey));
    EXPECT_EQ(shown.Count(kGuideGrey), 35);
    // The cursor cell: the cursor's byte, white on red.
    EXPECT_EQ(Cell(shown, 0, 0), (fakes::Pixel{kInsertRed, 'h', kWhite}));
    EXPECT_EQ(shown.Count(kInsertRed), kCellWidth * kCellHeight);
}

TEST_F(ScreenDrawing, LaterScreensRestoreTheCapturedBackground) {
    Open({"abc"});
    Key(scan::Right);
    EXPECT_EQ(fakes::canvas.pictureLoads, 1);
    EXPECT_EQ(Shown().At(34, 41).colour, fakes::kPictureColour);

    // A later editor window keeps the picture of the program's first screen.
    const DynString bits = backgroundBits;
    SetUp();
    backgroundBits = bits;
    Open({"abc"});
    EXPECT_EQ(fakes::canvas.pictureLoads, 0);
    EXPECT_EQ(Shown().At(34, 41).colour, fakes::kPictureColour);
}

TEST_F(ScreenDrawing, AMissingPictureLeavesAWhiteBackgroundThatIsKept) {
    fakes::canvas.pictureExists = false;
    Open({"abc"});
    Key(scan::Right);
    const fakes::Rendered shown = Shown();
    EXPECT_EQ(shown.At(34, 41).colour, kWhite);
    EXPECT_EQ(shown.Count(fakes::kPictureColour), 0);
    EXPECT_EQ(Row(shown, 0), "abc  ");
}

TEST_F(ScreenDrawing, PrintsOneRowMoreThanFitsAndStopsAtTheLastLine) {
    // The window shows 3 rows of a canvas of 5.
    fakes::canvas.height = 70;
    fakes::canvas.hiddenHeight = 28;
    Open({"1", "2", "3", "4", "5", "6"});
    const fakes::Rendered shown = Shown();
    EXPECT_EQ(Row(shown, 0), "1    ");
    EXPECT_EQ(Row(shown, 1), "2    ");
    EXPECT_EQ(Row(shown, 2), "3    ");
    EXPECT_EQ(Row(shown, 3), "4    ");
    EXPECT_EQ(Row(shown, 4), kNoText);
}

TEST_F(ScreenDrawing, ShowsTheScrolledPartOfEachLineCutAtTheRightEdge) {
    Open({"abcdefghij", "ab", "abcdefg"});
    MoveTo(1, 8);
    EXPECT_EQ(View(), (ViewState{1, 4, 1, 5}));
    const fakes::Rendered shown = Shown();
    EXPECT_EQ(Row(shown, 0), "defgh");
    EXPECT_EQ(Row(shown, 1), "     ");
    EXPECT_EQ(Row(shown, 2), "defg ");
    EXPECT_EQ(Cell(shown, 0, 2), (fakes::Pixel{fakes::kPictureColour, 'd', kBlack}));
}

TEST_F(ScreenDrawing, GuidesCrossAtTheCursorCell) {
    Open({"abc", "def", "ghi"});
    MoveTo(2, 3);
    const fakes::Rendered shown = Shown();
    EXPECT_TRUE(RowIs(shown, 28, kGuideGrey));
    EXPECT_TRUE(ColumnIs(shown, 13, kGuideGrey));
    EXPECT_EQ(shown.Count(kGuideGrey), 35 + 42 - 1);
    EXPECT_EQ(Cell(shown, 2, 1), (fakes::Pixel{kInsertRed, 'f', kWhite}));
    EXPECT_EQ(shown.At(14, 14).colour, kInsertRed);
}

TEST_F(ScreenDrawing, TheCursorCellIsRedInInsertModeAndGreyInOverwriteMode) {
    Open({"abc"});
    EXPECT_EQ(Cell(Shown(), 0, 0), (fakes::Pixel{kInsertRed, 'a', kWhite}));
    Key(scan::Insert);
    EXPECT_EQ(Cell(Shown(), 0, 0), (fakes::Pixel{kOverwriteGrey, 'a', kWhite}));
}

TEST_F(ScreenDrawing, TheCursorCellShowsUpTo1000ColumnsBeyondTheLineEnd) {
    Open({"ab"});
    fakes::controls.user[Canvas()] = {1, 998, 1, 5};
    Key(scan::Esc);
    EXPECT_EQ(Column(), 1002);
    EXPECT_EQ(Cell(Shown(), 4, 0), (fakes::Pixel{kInsertRed, ' ', kWhite}));
    Key(scan::Right);
    EXPECT_EQ(Column(), 1003);
    // Out of reach the cursor cell is printed empty: nothing of it shows.
    EXPECT_EQ(Shown().Count(kInsertRed), 0);
    EXPECT_EQ(Cell(Shown(), 4, 0), (fakes::Pixel{fakes::kPictureColour, ' ', kBlack}));
}

TEST_F(ScreenDrawing, AnEmptyTextDrawsElementZero) {
    Open({});
    Type("xy");
    const fakes::Rendered shown = Shown();
    EXPECT_EQ(Row(shown, 0), "xy   ");
    EXPECT_EQ(Row(shown, 1), kNoText);
    EXPECT_EQ(Row(shown, 2), kNoText);
}

TEST_F(ScreenDrawing, TheCursorBelowTheRowsIsStillDrawnThereWithItsGuide) {
    // The window shows 3 rows of a canvas of 10.
    fakes::canvas.height = 140;
    fakes::canvas.hiddenHeight = 98;
    std::vector<std::string> text(12, "x");
    Open(text);
    fakes::controls.user[Canvas()] = {1, 1, 9, 1};
    Key(scan::Esc);
    const fakes::Rendered shown = Shown();
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(Row(shown, row), "x    ") << "row " << row;
    }
    for (int row = 4; row < 8; ++row) {
        EXPECT_EQ(Row(shown, row), kNoText) << "row " << row;
    }
    EXPECT_EQ(Cell(shown, 0, 8), (fakes::Pixel{kInsertRed, 'x', kWhite}));
    EXPECT_TRUE(RowIs(shown, 9 * kCellHeight, kGuideGrey));
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
}

TEST_F(ScreenDrawing, WithoutACanvasNothingFitsAndNothingBreaks) {
    fakes::canvas.id = 999;
    Open({"abc", "def"});
    Type("x");
    Key(scan::Down);
    Key(scan::Tab, '\t');
    EXPECT_TRUE(fakes::canvas.backing.empty());
    EXPECT_EQ(fakes::canvas.redraws, 0);
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
