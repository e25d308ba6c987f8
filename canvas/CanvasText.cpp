#include "canvas/Canvas.h"
#include "canvas/CanvasState.h"
#include "canvas/CurrentCanvas.h"
#include "canvas/FontMetrics.h"
#include "canvas/GdiHandles.h"
#include "canvas/ScreenCopy.h"
#include "dialogs/WindowRecord.h"
#include "runtime/NumberText.h"
#include "runtime/ErrorNumber.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr std::int32_t kStyleBold = 1;
constexpr std::int32_t kStyleItalic = 2;
constexpr std::int32_t kStyleUnderline = 4;
constexpr std::int32_t kStyleStrikeOut = 8;
constexpr std::int32_t kFallbackPoints = 8;
constexpr std::int32_t kMaxPoints = 72;
constexpr std::size_t kMaxFaceLength = LF_FACESIZE - 1;

LOGFONTA FontDescription(const DynString& face, std::int32_t points, std::int32_t style, HDC dc) {
    LOGFONTA font{};
    std::memcpy(font.lfFaceName, face.Bytes(),
                std::min<std::size_t>(face.Length(), kMaxFaceLength));
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfWeight = (style & kStyleBold) != 0 ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (style & kStyleItalic) != 0 ? 1 : 0;
    font.lfUnderline = (style & kStyleUnderline) != 0 ? 1 : 0;
    font.lfStrikeOut = (style & kStyleStrikeOut) != 0 ? 1 : 0;
    if (points < 1 || points > kMaxPoints) {
        points = kFallbackPoints;
    }
    font.lfHeight = -(GetDeviceCaps(dc, LOGPIXELSY) * points / 72);
    return font;
}

} // namespace

void CanvasSetFont(const DynString& face, std::int32_t size, std::int32_t style) noexcept {
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr) {
        return;
    }
    CanvasState& canvas = CanvasOf(*record);
    LOGFONTA description = FontDescription(face, size, style, canvas.memoryDc);
    GdiObject<HFONT> font(CreateFontIndirectA(&description));
    HGDIOBJ previous = font ? SelectObject(canvas.memoryDc, font.Get()) : nullptr;
    if (previous == nullptr || previous == HGDI_ERROR) {
        SetErrorNumber(Err::InvalidArgument);
        return;
    }
    font.Release(); // the canvas holds it now
    // Only a canvas that never got its default font hands back the DC's own font here;
    // that one is kept to be put back at release.
    if (canvas.stockFont == nullptr) {
        canvas.stockFont = static_cast<HFONT>(previous);
    } else {
        DeleteObject(previous);
    }
    TakeFontMetrics(canvas);
}

void CanvasGetCharSize(double& width, double& height) noexcept {
    const WindowRecord* record = CurrentCanvas();
    width = record != nullptr ? CanvasOf(*record).charWidth : 0;
    height = record != nullptr ? CanvasOf(*record).lineHeight : 0;
}

void CanvasMoveTo(double x, double y) noexcept {
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr) {
        return;
    }
    CanvasState& canvas = CanvasOf(*record);
    canvas.x = RoundToInt32(x);
    canvas.y = RoundToInt32(y);
    MoveToEx(canvas.memoryDc, canvas.x, canvas.y, nullptr);
}

void CanvasPrint(const DynString& text) noexcept {
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr || text.IsEmpty()) {
        return;
    }
    CanvasState& canvas = CanvasOf(*record);
    DrawPendingClear(canvas);
    // The DC draws at and advances its own current position (TA_UPDATECP).
    int length = static_cast<int>(std::min<std::uint32_t>(text.Length(), INT_MAX));
    // Trailing spaces on a transparent background draw nothing but still cost the
    // platform a glyph each, and the editor pads every row with them: they only move the
    // position.
    int blankTail = 0;
    if (canvas.background == kColourTransparent && canvas.spaceWidth > 0) {
        while (blankTail < length && text.Bytes()[length - 1 - blankTail] == ' ') {
            ++blankTail;
        }
    }
    if (blankTail < length) {
        TextOutA(canvas.memoryDc, 0, 0, text.Bytes(), length - blankTail);
        NoteDrawing(canvas);
    }
    if (blankTail > 0) {
        POINT drawn{};
        GetCurrentPositionEx(canvas.memoryDc, &drawn);
        MoveToEx(canvas.memoryDc, drawn.x + blankTail * canvas.spaceWidth, drawn.y, nullptr);
    }
    POINT position{};
    if (GetCurrentPositionEx(canvas.memoryDc, &position)) {
        canvas.x = position.x;
        canvas.y = position.y;
    }
    // Last: the paint runs the dialog's callback, which may destroy the dialog and this record.
    AutoRedraw(*record);
}

void CanvasSetTextColor(std::int32_t colour) noexcept {
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr) {
        return;
    }
    if (colour == kColourSystem) {
        colour = static_cast<std::int32_t>(GetSysColor(COLOR_WINDOWTEXT));
    }
    CanvasState& canvas = CanvasOf(*record);
    canvas.foreground = colour & 0xFFFFFF;
    SetTextColor(canvas.memoryDc, static_cast<COLORREF>(canvas.foreground));
}

void CanvasSetBackColor(std::int32_t colour) noexcept {
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr) {
        return;
    }
    CanvasState& canvas = CanvasOf(*record);
    if (colour == kColourTransparent) {
        canvas.background = kColourTransparent;
        SetBkColor(canvas.memoryDc, 0);
        SetBkMode(canvas.memoryDc, TRANSPARENT);
        return;
    }
    if (colour == kColourSystem) {
        colour = static_cast<std::int32_t>(GetSysColor(COLOR_BTNFACE));
    }
    canvas.background = colour & 0xFFFFFF;
    SetBkColor(canvas.memoryDc, static_cast<COLORREF>(canvas.background));
    SetBkMode(canvas.memoryDc, OPAQUE);
}
