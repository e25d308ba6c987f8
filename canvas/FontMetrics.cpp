#include "canvas/FontMetrics.h"

void TakeFontMetrics(CanvasState& canvas) noexcept {
    TEXTMETRICA metrics{};
    if (!GetTextMetricsA(canvas.memoryDc, &metrics)) {
        return;
    }
    canvas.charWidth = metrics.tmAveCharWidth;
    canvas.lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    SIZE space{};
    const bool blankSpace = metrics.tmUnderlined == 0 && metrics.tmStruckOut == 0;
    canvas.spaceWidth =
        blankSpace && GetTextExtentPoint32A(canvas.memoryDc, " ", 1, &space) ? space.cx : 0;
}
