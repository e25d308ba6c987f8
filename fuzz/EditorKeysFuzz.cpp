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
#include "tests/native/editor/fakes/DisplayFakes.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

namespace {

const WindowHandle kWindow = reinterpret_cast<WindowHandle>(std::uintptr_t{0x1000});
const WindowHandle kCanvas = reinterpret_cast<WindowHandle>(std::uintptr_t{0x1010});

// Every code the editor acts on, and some it does not.
const std::int32_t kCodes[] = {scan::Esc,     scan::Backspace, scan::Tab,      scan::Enter,
                               scan::LetterA, scan::F1,        scan::Home,     scan::Up,
                               scan::PageUp,  scan::Left,      scan::Right,    scan::End,
                               scan::Down,    scan::PageDown,  scan::Insert,   scan::Delete,
                               scan::ZoomOut, scan::ZoomIn,    -scan::LetterA, scan::Space};

bool operator==(const ViewState& a, const ViewState& b) {
    return a.topLine == b.topLine && a.firstColumn == b.firstColumn &&
           a.cursorLine == b.cursorLine && a.cursorScreenColumn == b.cursorScreenColumn;
}

ViewState View() {
    const auto& user = fakes::controls.user[kCanvas];
    return {user[0], user[1], user[2], user[3]};
}

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
    fakes::Reset();
    fakes::canvas.recording = false;
    fakes::canvas.window = kWindow;
    fakes::canvas.id = 110;
    fakes::canvas.width = in.ConsumeIntegralInRange(0, 200);
    fakes::canvas.height = in.ConsumeIntegralInRange(0, 100);
    fakes::canvas.pictureExists = in.ConsumeBool();
    fakes::controls.controls[{kWindow, 110}] = kCanvas;
    fakes::controls.user[kCanvas] = {};
    ResetProgramState();
    editorDialog = kWindow;

    const std::int32_t lineCount = in.ConsumeIntegralInRange(0, 30);
    ArrayRedim(LineArray, 0, lineCount);
    for (std::int32_t i = 1; i <= lineCount; ++i) {
        LineArray[i] = DynString(std::string_view(in.ConsumeRandomLengthString(120)));
    }

    std::int32_t code = 0;
    DynString none;
    ProcessEditorKey(code, none, LineArray, kWindow, 110, in.ConsumeIntegralInRange(1, 72));
    CheckNormalised(View(), ArrayUpperBound(LineArray));

    while (in.remaining_bytes() > 0) {
        const std::int32_t scanCode = in.PickValueInArray(kCodes);
        const char character = in.ConsumeIntegral<char>();
        if (scanCode == scan::F1) {
            fakes::controls.menuAnswers.push_back(in.ConsumeIntegralInRange(-1, 10));
        }
        const std::int32_t linesBefore = ArrayUpperBound(LineArray);
        const std::int32_t mode = insertMode;
        const ViewState before = View();
        const int redrawsBefore = fakes::canvas.redraws;
        fakes::canvas.calls.clear();

        std::int32_t keyCode = scanCode;
        DynString keyChar(&character, 1);
        ProcessEditorKey(keyCode, keyChar, LineArray, nullptr, 0, 0);

        const std::int32_t lines = ArrayUpperBound(LineArray);
        Check(LineArray.LowerBound() == 0, "the text starts at element 0");
        CheckNormalised(View(), lines);
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
            Check(scanCode == scan::Tab && View() == before,
                  "only a Tab without a next word skips the redraw, and it moves nothing");
        } else {
            Check(fakes::canvas.redraws == redrawsBefore + 1, "one redraw a key");
        }
    }
    ResetProgramState();
    return 0;
}
