#include "canvas/Canvas.h"
#include "canvas/CanvasState.h"
#include "canvas/CurrentCanvas.h"
#include "canvas/GdiHandles.h"
#include "canvas/ScreenCopy.h"
#include "dialogs/WindowRecord.h"
#include "runtime/NumberText.h"

namespace {

constexpr int kHatches[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL,
                            HS_BDIAGONAL,  HS_CROSS,    HS_DIAGCROSS};

// A brush of its own for the fill style (1..6 hatched, anything else solid).
HBRUSH MakeFillBrush(COLORREF colour, std::int32_t fillStyle) {
    if (fillStyle >= 1 && fillStyle <= 6) {
        return CreateHatchBrush(kHatches[fillStyle - 1], colour);
    }
    return CreateSolidBrush(colour);
}

void FillWhole(const CanvasState& canvas, std::int32_t colour, std::int32_t fillStyle) {
    RECT whole{0, 0, canvas.width, canvas.height};
    GdiObject<HBRUSH> brush(MakeFillBrush(static_cast<COLORREF>(colour), fillStyle));
    if (brush) {
        FillRect(canvas.memoryDc, &whole, brush.Get());
    }
}

} // namespace

void DrawPendingClear(CanvasState& canvas) noexcept {
    // Whatever comes next may change the pixels that the screen copy still takes from them.
    TakeShownPixels(canvas);
    if (canvas.clearPending) {
        canvas.clearPending = false;
        FillWhole(canvas, canvas.clearColour, 0);
    }
}

void CanvasClear(std::int32_t colour, std::int32_t fillStyle) noexcept {
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr) {
        return;
    }
    CanvasState& canvas = CanvasOf(*record);
    if (colour == kColourSystem) {
        colour = canvas.background;
    }
    // A transparent fill draws nothing. A solid one covers every pixel, an earlier held
    // clear included; a hatched one lets an earlier clear show through its gaps.
    const bool solid = fillStyle < 1 || fillStyle > 6;
    if (colour != kColourTransparent && solid && (record->flags & kRecordDeferredRedraw) != 0) {
        canvas.clearPending = true;
        canvas.clearColour = colour;
    } else if (colour != kColourTransparent) {
        DrawPendingClear(canvas);
        FillWhole(canvas, colour, fillStyle);
    }
    canvas.x = 0;
    canvas.y = 0;
    MoveToEx(canvas.memoryDc, 0, 0, nullptr);
    // Last: the paint runs the dialog's callback, which may destroy the dialog and this record.
    AutoRedraw(*record);
}

void CanvasLineTo(double x, double y, std::int32_t colour) noexcept {
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr) {
        return;
    }
    CanvasState& canvas = CanvasOf(*record);
    if (colour == kColourSystem) {
        colour = canvas.foreground;
    }
    canvas.x = RoundToInt32(x);
    canvas.y = RoundToInt32(y);
    DrawPendingClear(canvas);
    {
        GdiObject<HPEN> pen(
            CreatePen(canvas.penStyle, canvas.penWidth, static_cast<COLORREF>(colour)));
        Selection selected(canvas.memoryDc, pen.Get());
        if (selected.Succeeded()) {
            // From the DC's position, which is the canvas's previous one, up to but not
            // including the end point.
            LineTo(canvas.memoryDc, canvas.x, canvas.y);
            NoteDrawing(canvas);
        } else {
            // Nothing to draw with, but the position still moves on.
            MoveToEx(canvas.memoryDc, canvas.x, canvas.y, nullptr);
        }
    }
    AutoRedraw(*record);
}
