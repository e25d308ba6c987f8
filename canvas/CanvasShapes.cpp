#include "canvas/Canvas.h"
#include "canvas/CanvasState.h"
#include "canvas/CurrentCanvas.h"
#include "canvas/GdiHandles.h"
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

} // namespace

void CanvasClear(std::int32_t colour, std::int32_t fillStyle) noexcept {
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr) {
        return;
    }
    CanvasState& canvas = CanvasOf(*record);
    if (colour == kColourSystem) {
        colour = canvas.background;
    }
    RECT whole{0, 0, canvas.width, canvas.height};
    if (colour == kColourTransparent) {
        FillRect(canvas.memoryDc, &whole, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    } else {
        GdiObject<HBRUSH> brush(MakeFillBrush(static_cast<COLORREF>(colour), fillStyle));
        if (brush) {
            FillRect(canvas.memoryDc, &whole, brush.Get());
        }
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
    {
        GdiObject<HPEN> pen(
            CreatePen(canvas.penStyle, canvas.penWidth, static_cast<COLORREF>(colour)));
        Selection selected(canvas.memoryDc, pen.Get());
        if (selected.Succeeded()) {
            // From the DC's position, which is the canvas's previous one, up to but not
            // including the end point.
            LineTo(canvas.memoryDc, canvas.x, canvas.y);
        } else {
            // Nothing to draw with, but the position still moves on.
            MoveToEx(canvas.memoryDc, canvas.x, canvas.y, nullptr);
        }
    }
    AutoRedraw(*record);
}
