#include "editor/ScreenDrawing.h"

#include "editor/EditorDisplay.h"
#include "editor/ProgramState.h"
#include "runtime/NumberText.h"
#include "runtime/StringFunctions.h"

#include <algorithm>
#include <cmath>

const char HelpText[] = "F1=menu Ctrl+,Ctrl-=zoom Tab=next word Esc=end  ";
const char BackgroundImageName[] = "fondo.bmp";

namespace {

constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kBlack = 0;
constexpr std::int32_t kGuideGrey = 0xC0C0C0;
constexpr std::int32_t kInsertRed = 0x0000FF;
constexpr std::int32_t kOverwriteGrey = 0x808080;
// How far beyond a line's end the cursor cell is still drawn.
constexpr std::int64_t kCursorCellReach = 1000;

// The byte under the cursor, a space up to the reach beyond the line's end, else nothing.
DynString CursorCellText(const DynString& line, std::int64_t column) {
    if (column >= 1 && column <= line.Length()) {
        return DynString(line.Bytes() + (column - 1), 1);
    }
    if (column >= 1 && column <= line.Length() + kCursorCellReach) {
        return DynString(" ");
    }
    return DynString();
}

} // namespace

void PrepareCanvas(WindowHandle window, std::int32_t canvasId, ScreenMetrics& metrics) noexcept {
    CanvasAttach(window, canvasId, kCanvasDeferredRedraw);
    CanvasClear(kWhite, 0);
    CanvasGetSize(metrics.canvasWidth, metrics.canvasHeight);
    CanvasGetVisibleSize(metrics.visibleWidth, metrics.visibleHeight);
    if (backgroundBits.IsEmpty()) {
        CanvasDrawPicture(BackgroundImageName, 0, 0, metrics.canvasWidth, metrics.canvasHeight);
        backgroundBits = CanvasGetPixels();
    } else {
        CanvasSetPixels(backgroundBits);
    }
}

void SelectTextFont(std::int32_t fontSize, ScreenMetrics& metrics) noexcept {
    CanvasSetFont("courier new", fontSize, 0);
    CanvasGetCharSize(metrics.charWidth, metrics.charHeight);
    // Rows and columns are counted in the part of the canvas that is seen, and only whole
    // ones: the canvas has the work area's height but starts below the title bar, and a
    // row cut by the window's edge would hide the cursor when the keys take it there.
    // Without a canvas the cell measures 0: then nothing fits rather than a division by zero.
    metrics.visibleRows =
        metrics.charHeight > 0
            ? static_cast<std::int32_t>(std::floor(metrics.visibleHeight / metrics.charHeight))
            : 0;
    metrics.visibleColumns =
        metrics.charWidth > 0
            ? static_cast<std::int32_t>(std::floor(metrics.visibleWidth / metrics.charWidth))
            : 0;
}

void DrawVisibleText(const StringArray& lines, const ViewState& view,
                     const ScreenMetrics& metrics) noexcept {
    const std::int32_t last = static_cast<std::int32_t>(std::min<std::int64_t>(
        std::int64_t{view.topLine} + metrics.visibleRows, ArrayUpperBound(lines)));
    for (std::int32_t i = view.topLine; i <= last; ++i) {
        CanvasSetTextColor(kBlack);
        CanvasSetBackColor(kColourTransparent);
        CanvasMoveTo(0, (i - view.topLine) * metrics.charHeight);
        const DynString shown = Substring(lines.Get(i), view.firstColumn, metrics.visibleColumns);
        const std::int32_t padding =
            metrics.visibleColumns - static_cast<std::int32_t>(shown.Length());
        CanvasPrint(padding > 0 ? Concat(shown, SpaceString(padding)) : shown);
    }

    const double rowGuide = (view.cursorLine - view.topLine + 1) * metrics.charHeight;
    CanvasMoveTo(0, rowGuide);
    CanvasLineTo(metrics.canvasWidth, rowGuide, kGuideGrey);
    const double columnGuide = (view.cursorScreenColumn - 1) * metrics.charWidth - 1;
    CanvasMoveTo(columnGuide, 0);
    CanvasLineTo(columnGuide, metrics.canvasHeight, kGuideGrey);

    CanvasSetTextColor(kWhite);
    CanvasSetBackColor(insertMode == 1 ? kInsertRed : kOverwriteGrey);
    CanvasMoveTo((view.cursorScreenColumn - 1) * metrics.charWidth,
                 (view.cursorLine - view.topLine) * metrics.charHeight);
    CanvasPrint(CursorCellText(lines.Get(view.cursorLine), TextColumn(view)));
}

DynString StatusTitle(const ViewState& view, std::int32_t fontSize, std::int32_t scanCode,
                      const DynString& keyChar) noexcept {
    DynString title = HelpText;
    title = Concat(title, FormatNumber(view.cursorLine, "\"V: \"0"));
    title = Concat(title, FormatNumber(TextColumn(view), "\" O: \"0"));
    title = Concat(title, " ");
    title = Concat(title, insertMode == 1 ? "Insert ON" : "Insert OFF");
    title = Concat(title, Concat(" Font", NumberText(fontSize)));
    title = Concat(title, Concat(" ScanCode:", NumberText(scanCode)));
    title = Concat(title, Concat(" - ChrCode: ", keyChar));
    return title;
}
