// The drawing state of a canvas control, kept in the control's WindowRecord.
#pragma once

#include "canvas/Canvas.h"
#include "dialogs/WindowRecord.h"
#include "platform/Platform.h"

#include <cstdint>
#include <new>

// The record's flag of a canvas whose drawing waits for CanvasRedraw: the same bit as the
// attach option that asks for it.
constexpr std::uint32_t kRecordDeferredRedraw = kCanvasDeferredRedraw;
static_assert((kRecordDeferredRedraw & ~kRecordKindFlags) == 0,
              "a canvas keeps its flags among the bits of its kind");

struct ScreenCopy; // ScreenCopy.h

struct CanvasState {
    HDC memoryDc;        // holds the backing bitmap and the current font; null if GetDC failed
    HBITMAP stockBitmap; // the memory DC's own bitmap, put back before release
    HFONT stockFont;     // the memory DC's own font, put back before release
    std::int32_t width;  // backing bitmap size in pixels: the control's client size at creation
    std::int32_t height;
    std::int32_t x; // current position, kept equal to the memory DC's own
    std::int32_t y;
    std::int32_t charWidth;  // tmAveCharWidth of the current font
    std::int32_t lineHeight; // tmHeight + tmExternalLeading of the current font
    std::int32_t spaceWidth; // advance of a space, 0 when spaces draw (underline, strike-out)
    std::int32_t foreground; // text and line colour
    std::int32_t background; // colour behind text, or -2 for transparent
    std::int32_t penStyle;   // PS_SOLID .. PS_DASHDOTDOT
    std::int32_t penWidth;   // 0 draws one pixel wide
    // A solid clear made while the canvas waits for CanvasRedraw is held here and drawn
    // only when something next draws, reads or shows the pixels: the editor writes a whole
    // snapshot over its clear at once, and that snapshot then replaces it undrawn. Only
    // solid fills are held: they cover every pixel whatever the DC's state.
    bool clearPending;
    std::int32_t clearColour; // a COLORREF
    // The backing bitmap's own pixels, top-down, width per row; null when the platform
    // gave no bitmap whose pixels can be read in place.
    std::uint32_t* pixels;
    // What the screen shows of the canvas (ScreenCopy.h), owned; null without it.
    ScreenCopy* screenCopy;
};

// Draws a held clear, if any, into the backing bitmap (in CanvasShapes.cpp). Every
// operation that draws into the bitmap, reads it or copies it to the screen calls it first,
// except a snapshot written whole, which replaces the clear.
void DrawPendingClear(CanvasState& canvas) noexcept;

static_assert(sizeof(CanvasState) <= sizeof(ControlKindState) &&
                  alignof(CanvasState) <= alignof(ControlKindState),
              "a canvas keeps its state in its record's room for the kind's state");

// The state in a canvas control's record. A zero-filled record holds an empty state (no
// DC): the state is plain data, which the record's zero-filled memory starts.
inline CanvasState& CanvasOf(WindowRecord& record) noexcept {
    return *std::launder(reinterpret_cast<CanvasState*>(record.kindState.bytes));
}
inline const CanvasState& CanvasOf(const WindowRecord& record) noexcept {
    return *std::launder(reinterpret_cast<const CanvasState*>(record.kindState.bytes));
}
