// Random key streams into ProcessEditorKey over the recording fakes of the display, on a
// random text and canvas: after every key the view and cursor are normalised, the number
// of lines changes only by Enter (one more in insert mode) or Delete (one fewer at most),
// the line that a typed character or Delete edited ends without a space, and every key
// but a Tab without a next word ends in one redraw.
#include "editor/KeyProcessing.h"
#include "editor/ProgramState.h"
#include "editor/ScanCodes.h"
#include "editor/TextModel.h"
#include "fuzz/FuzzCheck.h"
#include "runtime/StringArray.h"
#include "tests/native/editor/EditorFakeWindow.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

namespace {

// Every code the editor acts on, and some it does not.
const std::int32_t kCodes[] = {scan::Esc,     scan::Backspace, scan::Tab,      scan::Enter,
                               scan::LetterA, scan::F1,        scan::Home,     scan::Up,
                               scan::PageUp,  scan::Left,      scan::Right,    scan::End,
                               scan::Down,    scan::PageDown,  scan::Insert,   scan::Delete,
                               scan::ZoomOut, scan::ZoomIn,    -scan::LetterA, scan::Space};

void CheckNormalised(const ViewState& view, std::int32_t lineCount) {
    if (lineCount >= 1) {
        Check(view.topLine >= 1 && view.topLine <= lineCount, "the top line is in the text");
        Check(view.cursorLine >= 1 && view.cursorLine <= lineCount, "the cursor is in the text");
    } else {
        Check(view.topLine == 0 && view.cursorLine == 0, "an empty text shows element 0");
    }
    Check(view.firstColumn >= 1, "the first column is 1 or more");
    Check(view.cursorScreenColumn >= 1 && view.cursorScreenColumn <= 1000,
          "the cursor's screen column is 1 to 1000");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const double width = in.ConsumeIntegralInRange(0, 200);
    const double height = in.ConsumeIntegralInRange(0, 100);
    fakes::SetUpEditorWindow(width, height);
    fakes::canvas.recording = false;
    fakes::canvas.pictureExists = in.ConsumeBool();
    ResetProgramState();
    editorDialog = fakes::EditorWindow();

    const std::int32_t lineCount = in.ConsumeIntegralInRange(0, 30);
    ArrayRedim(LineArray, 0, lineCount);
    for (std::int32_t i = 1; i <= lineCount; ++i) {
        LineArray[i] = DynString(std::string_view(in.ConsumeRandomLengthString(120)));
    }

    std::int32_t code = 0;
    DynString none;
    ProcessEditorKey(code, none, LineArray, fakes::EditorWindow(), kEditorCanvasId,
                     in.ConsumeIntegralInRange(1, 72));
    CheckNormalised(fakes::StoredView(), ArrayUpperBound(LineArray));

    while (in.remaining_bytes() > 0) {
        const std::int32_t scanCode = in.PickValueInArray(kCodes);
        const char character = in.ConsumeIntegral<char>();
        if (scanCode == scan::F1) {
            fakes::controls.menuAnswers.push_back(in.ConsumeIntegralInRange(-1, 10));
        }
        const std::int32_t linesBefore = ArrayUpperBound(LineArray);
        const std::int32_t mode = insertMode;
        const ViewState before = fakes::StoredView();
        const int redrawsBefore = fakes::canvas.redraws;

        std::int32_t keyCode = scanCode;
        DynString keyChar(&character, 1);
        ProcessEditorKey(keyCode, keyChar, LineArray, nullptr, 0, 0);

        const std::int32_t lines = ArrayUpperBound(LineArray);
        Check(LineArray.LowerBound() == 0, "the text starts at element 0");
        CheckNormalised(fakes::StoredView(), lines);
        if (scanCode == scan::Enter) {
            Check(lines == linesBefore + mode, "Enter adds a line in insert mode only");
        } else if (scanCode == scan::Delete) {
            Check(lines == linesBefore || lines == linesBefore - 1, "Delete joins one line");
        } else {
            Check(lines == linesBefore, "other keys keep the number of lines");
        }

        const bool typed = static_cast<unsigned char>(character) >= 32;
        const bool joined = scanCode == scan::Delete && lines != linesBefore;
        if ((typed || scanCode == scan::Delete) && scanCode != scan::Enter &&
            scanCode != scan::F1 && !joined) {
            const std::string_view line = LineArray[before.cursorLine].View();
            Check(line.empty() || line.back() != ' ', "an edited line ends without a space");
        }
        if (fakes::canvas.redraws == redrawsBefore) {
            Check(scanCode == scan::Tab && fakes::StoredView() == before,
                  "only a Tab without a next word skips the redraw, and it moves nothing");
        } else {
            Check(fakes::canvas.redraws == redrawsBefore + 1, "one redraw a key");
        }
    }
    ResetProgramState();
    return 0;
}
