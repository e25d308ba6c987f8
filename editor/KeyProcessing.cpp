#include "editor/KeyProcessing.h"

#include "editor/EditorDisplay.h"
#include "editor/ProgramState.h"
#include "editor/ScanCodes.h"
#include "editor/ScreenDrawing.h"
#include "editor/TextModel.h"
#include "editor/TextOperations.h"
#include "runtime/StringFunctions.h"

#include <algorithm>

namespace {

constexpr std::int32_t kSmallestFont = 1;
constexpr std::int32_t kLargestFont = 72;

// What the key routine keeps between calls; the initialising call sets it.
struct KeptValues {
    WindowHandle window;   // the editor window
    std::int32_t canvasId; // the canvas control's id in that window
    std::int32_t fontSize; // point size of the text font
};

KeptValues kept{};

// A kept value of 0 takes the argument, and an argument of 0 the kept value.
template <typename T> void Resolve(T& keptValue, T& argument) {
    if (keptValue == T{}) {
        keptValue = argument;
    }
    if (argument == T{}) {
        argument = keptValue;
    }
}

ViewState ReadViewState(WindowHandle canvas) {
    return {GetControlUser(canvas, 1), GetControlUser(canvas, 2), GetControlUser(canvas, 3),
            GetControlUser(canvas, 4)};
}

void StoreViewState(WindowHandle canvas, const ViewState& view) {
    SetControlUser(canvas, 1, view.topLine);
    SetControlUser(canvas, 2, view.firstColumn);
    SetControlUser(canvas, 3, view.cursorLine);
    SetControlUser(canvas, 4, view.cursorScreenColumn);
}

// The column at which the view scrolls instead of the cursor moving on: the canvas's last
// column, or the cursor's last one when more columns fit than the cursor may reach.
std::int32_t RightEdge(const ScreenMetrics& metrics) {
    return std::min(metrics.visibleColumns, LastCursorScreenColumn);
}

// One column to the right: the cursor on the canvas, or the text under it at the right edge.
void Advance(ViewState& view, const ScreenMetrics& metrics) {
    if (view.cursorScreenColumn == RightEdge(metrics)) {
        ++view.firstColumn;
    } else {
        ++view.cursorScreenColumn;
    }
}

bool BeyondLine(const DynString& line, const ViewState& view) {
    return line.Length() < static_cast<std::uint32_t>(TextColumn(view));
}

// Moves to the first byte of the next word on the cursor's line; false when there is none.
bool MoveToNextWord(const DynString& line, ViewState& view, const ScreenMetrics& metrics) {
    do {
        Advance(view, metrics);
        if (BeyondLine(line, view)) {
            return false;
        }
    } while (line.ByteAt(TextColumn(view)) != ' ');
    do {
        Advance(view, metrics);
        if (BeyondLine(line, view)) {
            return false;
        }
    } while (line.ByteAt(TextColumn(view)) == ' ');
    return true;
}

// End: just after the line's last byte, or from there to the start of the last line.
void MoveToEnd(const DynString& line, std::int32_t lineCount, ViewState& view,
               const ScreenMetrics& metrics) {
    const auto length = static_cast<std::int32_t>(line.Length());
    if (TextColumn(view) == length + 1) {
        view.cursorLine = lineCount;
        view.topLine = lineCount - metrics.visibleRows + 1;
        view.firstColumn = 1;
        view.cursorScreenColumn = 1;
    } else {
        const std::int32_t edge = RightEdge(metrics);
        view.firstColumn = length - edge + 2;
        view.cursorScreenColumn = std::min(edge + view.firstColumn, edge + 1) - 1;
    }
}

// The keys that move the cursor and the view. False when a Tab finds no next word and
// the call is to be abandoned.
bool Navigate(std::int32_t scanCode, const StringArray& lines, std::int32_t lineCount,
              ViewState& view, const ScreenMetrics& metrics) {
    switch (scanCode) {
    case scan::Tab:
        return MoveToNextWord(lines.Get(view.cursorLine), view, metrics);
    case scan::Home:
        if (view.firstColumn == 1 && view.cursorScreenColumn == 1) {
            view.cursorLine = 1;
            view.topLine = 1;
        } else {
            view.firstColumn = 1;
            view.cursorScreenColumn = 1;
        }
        break;
    case scan::Up:
        --view.cursorLine;
        if (view.topLine > view.cursorLine) {
            --view.topLine;
        }
        break;
    case scan::PageUp:
        view.topLine -= metrics.visibleRows;
        view.cursorLine -= metrics.visibleRows;
        break;
    case scan::Left:
        if (view.cursorScreenColumn == 1) {
            --view.firstColumn;
        } else {
            --view.cursorScreenColumn;
        }
        break;
    case scan::Right:
        Advance(view, metrics);
        break;
    case scan::End:
        MoveToEnd(lines.Get(view.cursorLine), lineCount, view, metrics);
        break;
    case scan::Down:
        ++view.cursorLine;
        if (view.topLine + metrics.visibleRows == view.cursorLine && view.cursorLine <= lineCount) {
            ++view.topLine;
        }
        break;
    case scan::PageDown:
        view.cursorLine = std::min(view.cursorLine + metrics.visibleRows, lineCount);
        view.topLine =
            std::min(view.topLine + metrics.visibleRows, lineCount - metrics.visibleRows + 1);
        break;
    default:
        break;
    }
    return true;
}

// The initialising call (code 0) forgets the kept values and returns to insert mode; then
// the kept values and the arguments fill in for each other.
void ResolveKeptValues(std::int32_t scanCode, WindowHandle& window, std::int32_t& canvasId,
                       std::int32_t& fontSize) {
    if (scanCode == 0) {
        kept = {};
        insertMode = 1;
    }
    Resolve(kept.window, window);
    Resolve(kept.canvasId, canvasId);
    Resolve(kept.fontSize, fontSize);
}

// Left Control with the keypad minus or plus: the font size for this call and the next.
std::int32_t ApplyZoom(std::int32_t scanCode, std::int32_t fontSize) {
    if (scanCode == scan::ZoomOut) {
        fontSize = kept.fontSize = std::max(fontSize - 1, kSmallestFont);
    }
    if (scanCode == scan::ZoomIn) {
        fontSize = kept.fontSize = std::min(fontSize + 1, kLargestFont);
    }
    return fontSize;
}

// Every character byte 32 to 255 is typed at the cursor, which moves on one column.
void TypeCharacter(const DynString& keyChar, StringArray& lines, ViewState& view,
                   const ScreenMetrics& metrics) {
    if (CompareStrings(keyChar, CharString({' '})) < 0 ||
        CompareStrings(keyChar, CharString({255})) > 0) {
        return;
    }
    ReplaceLine(lines, view.cursorLine, [&] {
        return EditLine(lines[view.cursorLine], TextColumn(view), keyChar, insertMode);
    });
    ++view.cursorScreenColumn;
    if (view.cursorScreenColumn > RightEdge(metrics)) {
        ++view.firstColumn;
        --view.cursorScreenColumn;
    }
}

// Enter picks the cursor's line and asks the editor window to close; in insert mode it also
// splits the line there. Then it moves on as Down.
void ApplyEnter(std::int32_t& scanCode, StringArray& lines, ViewState& view) {
    if (scanCode != scan::Enter) {
        return;
    }
    selectedLine = lines.Get(view.cursorLine);
    PostMessageA(editorDialog, WM_CLOSE, 0, 0);
    if (insertMode != 0) {
        SplitLine(lines, view.cursorLine, TextColumn(view));
        view.firstColumn = 1;
        view.cursorScreenColumn = 1;
    }
    scanCode = scan::Down;
}

// Delete joins the next line on beyond the line's end, and deletes the byte at the cursor
// otherwise.
void ApplyDelete(std::int32_t scanCode, StringArray& lines, std::int32_t lineCount,
                 const ViewState& view) {
    if (scanCode != scan::Delete) {
        return;
    }
    const DynString& line = lines.Get(view.cursorLine);
    if (BeyondLine(line, view) && view.cursorLine < lineCount) {
        JoinWithNext(lines, view.cursorLine);
    } else {
        ReplaceLine(lines, view.cursorLine,
                    [&] { return EditLine(line, TextColumn(view), DynString(), EditDelete); });
    }
}

// F1: the text operation that the command menu answers, if any.
void RunCommandMenu(std::int32_t scanCode, StringArray& lines, const ViewState& view) {
    if (scanCode == scan::F1) {
        const std::int32_t operation = ShowCommandMenu(editorDialog);
        RunTextOperation(operation, lines, view.cursorLine, TextColumn(view), insertMode);
    }
}

void ToggleInsertMode(std::int32_t scanCode) {
    if (scanCode == scan::Insert) {
        insertMode = (insertMode + 1) % 2;
    }
}

// The end of every completed key: the view made valid, the screen drawn and shown in one
// copy, the view stored in the canvas and the status in the title.
void ShowScreen(WindowHandle window, WindowHandle canvas, const StringArray& lines, ViewState& view,
                const ScreenMetrics& metrics, std::int32_t fontSize, std::int32_t scanCode,
                const DynString& keyChar) {
    NormaliseView(view, ArrayUpperBound(lines));
    DrawVisibleText(lines, view, metrics);
    CanvasRedraw();
    StoreViewState(canvas, view);
    SetWindowCaption(window, StatusTitle(view, fontSize, scanCode, keyChar));
}

} // namespace

// The steps in their fixed order; each acts only on the keys it is for, so one event can
// type its character and still move the cursor.
void ProcessEditorKey(std::int32_t& scanCode, DynString& keyChar, StringArray& lines,
                      WindowHandle window, std::int32_t canvasId, std::int32_t fontSize) noexcept {
    ResolveKeptValues(scanCode, window, canvasId, fontSize);
    // A text that was never created is taken as the empty text: element 0 only.
    if (!lines.IsCreated()) {
        ArrayRedim(lines, 0, 0);
    }
    // The count before the key; Enter and Delete change it, so the steps after them read it anew.
    const std::int32_t lineCount = ArrayUpperBound(lines);

    ScreenMetrics metrics{};
    PrepareCanvas(window, canvasId, metrics);
    const WindowHandle canvas = GetControlHandle(window, canvasId);
    const ViewState shown = ReadViewState(canvas);
    ViewState view = shown;
    fontSize = ApplyZoom(scanCode, fontSize);
    SelectTextFont(fontSize, metrics);

    TypeCharacter(keyChar, lines, view, metrics);
    ApplyEnter(scanCode, lines, view);
    ApplyDelete(scanCode, lines, lineCount, view);
    RunCommandMenu(scanCode, lines, view);
    ToggleInsertMode(scanCode);
    if (!Navigate(scanCode, lines, ArrayUpperBound(lines), view, metrics)) {
        // The abandoned Tab changes nothing, but the backing bitmap was cleared above:
        // put the unchanged picture back so that a repaint does not lose the text.
        DrawVisibleText(lines, shown, metrics);
        return;
    }
    ShowScreen(window, canvas, lines, view, metrics, fontSize, scanCode, keyChar);
}

void EditorKeyTarget(std::int32_t& scanCode, DynString& keyChar) noexcept {
    ProcessEditorKey(scanCode, keyChar, LineArray, nullptr, 0, 0);
}
