// Random key events on random texts: whatever the keys, the view stays in the text, only
// Enter and Delete change the number of lines, edited lines carry no trailing space, and a
// key other than a zoom keeps the cursor's row in the part of the canvas that is seen.
#include "tests/native/editor/EditorHarness.h"

#include <random>

namespace {

class KeyProperties : public EditorTest {
  protected:
    std::mt19937 random_{20240613};

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::vector<std::string> RandomText() {
        static const std::string bytes = "ab  xyz \t\xe8\xff";
        std::vector<std::string> text(static_cast<std::size_t>(Below(25)));
        for (std::string& line : text) {
            for (int i = Below(Below(3) == 0 ? 150 : 20); i > 0; --i) {
                line += Below(40) == 0 ? '\0' : bytes[static_cast<std::size_t>(Below(12))];
            }
        }
        return text;
    }

    char RandomCharacter() {
        switch (Below(4)) {
        case 0:
            return '\0';
        case 1:
            return static_cast<char>(Below(32));
        default:
            return static_cast<char>(32 + Below(224));
        }
    }

    std::int32_t RandomScanCode() {
        static const std::int32_t codes[] = {
            scan::Esc,    scan::Backspace, scan::Tab,    scan::Enter,    scan::LetterA,
            scan::F1,     scan::Home,      scan::Up,     scan::PageUp,   scan::Left,
            scan::Right,  scan::End,       scan::Down,   scan::PageDown, scan::Insert,
            scan::Delete, scan::ZoomOut,   scan::ZoomIn, -scan::LetterA, 57};
        // Movement keys come more often, so the cursor gets around.
        if (Below(3) == 0) {
            return codes[Below(sizeof codes / sizeof codes[0])];
        }
        static const std::int32_t moves[] = {scan::Right, scan::Down, scan::Up,    scan::Left,
                                             scan::Tab,   scan::End,  scan::Delete};
        return moves[Below(sizeof moves / sizeof moves[0])];
    }

    // Whether the cursor's row is wholly inside the part of the canvas that is seen.
    static bool CursorRowSeen(const ViewState& view) {
        const double rowHeight = fakes::canvas.cell(fakes::canvas.fontSize).second;
        const double seen = fakes::canvas.height - fakes::canvas.hiddenHeight;
        return view.cursorLine >= view.topLine &&
               (view.cursorLine - view.topLine + 1) * rowHeight <= seen;
    }

    static void ExpectNormalised(const ViewState& view, std::int32_t lineCount) {
        if (lineCount >= 1) {
            EXPECT_GE(view.topLine, 1);
            EXPECT_LE(view.topLine, lineCount);
            EXPECT_GE(view.cursorLine, 1);
            EXPECT_LE(view.cursorLine, lineCount);
        } else {
            EXPECT_EQ(view.topLine, 0);
            EXPECT_EQ(view.cursorLine, 0);
        }
        EXPECT_GE(view.firstColumn, 1);
        EXPECT_GE(view.cursorScreenColumn, 1);
        EXPECT_LE(view.cursorScreenColumn, 1000);
    }
};

TEST_F(KeyProperties, TheViewStaysInTheTextAndOnlyEnterAndDeleteChangeTheLineCount) {
    for (int text = 0; text < 25 && !HasFailure(); ++text) {
        // The window hides a strip of the canvas's bottom, up to two rows high.
        fakes::canvas.hiddenHeight = Below(29);
        Open(RandomText());
        for (int event = 0; event < 300 && !HasFailure(); ++event) {
            const std::int32_t code = RandomScanCode();
            const char character = RandomCharacter();
            if (code == scan::F1) {
                fakes::controls.menuAnswers.push_back(Below(11));
            }
            const std::int32_t linesBefore = ArrayUpperBound(LineArray);
            const ViewState before = View();
            const bool seenBefore = CursorRowSeen(before);
            const int redrawsBefore = fakes::canvas.redraws;

            Key(code, character);

            SCOPED_TRACE("text " + std::to_string(text) + " event " + std::to_string(event) +
                         " code " + std::to_string(code) + " byte " +
                         std::to_string(static_cast<unsigned char>(character)));
            const std::int32_t lines = ArrayUpperBound(LineArray);
            ExpectNormalised(View(), lines);
            if (code == scan::Enter) {
                EXPECT_EQ(lines, linesBefore + insertMode);
            } else if (code == scan::Delete) {
                EXPECT_TRUE(lines == linesBefore || lines == linesBefore - 1);
            } else {
                EXPECT_EQ(lines, linesBefore);
            }

            const bool typed = static_cast<unsigned char>(character) >= 32;
            const bool joined = code == scan::Delete && lines != linesBefore;
            if ((typed || code == scan::Delete) && code != scan::Enter && code != scan::F1 &&
                !joined) {
                const std::string line(LineArray[before.cursorLine].View());
                EXPECT_TRUE(line.empty() || line.back() != ' ') << "'" << line << "'";
            }
            // A key brings or keeps the cursor's row on screen; only a zoom may leave it
            // below the rows, after which the keys bring it back.
            if (seenBefore && code != scan::ZoomIn && code != scan::ZoomOut) {
                EXPECT_TRUE(CursorRowSeen(View()))
                    << "cursor line " << View().cursorLine << " top line " << View().topLine;
            }
            // Every event but a Tab that finds no word ends in one redraw.
            if (fakes::canvas.redraws == redrawsBefore) {
                EXPECT_TRUE(code == scan::Tab && View() == before);
            } else {
                EXPECT_EQ(fakes::canvas.redraws, redrawsBefore + 1);
            }
        }
    }
}

} // namespace
