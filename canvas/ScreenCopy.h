// What the screen already shows of a canvas, so that a screen update sends only the part
// that changed since, as one rectangle: a copy of the pixels the screen shows, in a bitmap
// like the backing bitmap, and per row the columns where the canvas's pixels may differ
// from that copy (drawn on since; the platform gathers where its drawing lands). Without
// the copy, or when the screen may show something else (a paint the canvas could not
// follow), an update sends the whole canvas.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

struct CanvasState;
struct WindowRecord;

// Takes the memory for the copy, for a canvas whose pixels can be read in place, and has
// the platform gather where drawing lands.
void TakeScreenCopy(CanvasState& canvas) noexcept;
void ReleaseScreenCopy(CanvasState& canvas) noexcept;

// Completes the copy where it still takes the canvas's own pixels for what the screen
// shows (after a paint of all that is seen); whatever changes the pixels calls it first,
// through DrawPendingClear.
void TakeShownPixels(CanvasState& canvas) noexcept;

// Notes where the drawing since the last call landed. Drawing operations call it after
// each drawing, which keeps the columns noted per row tight; drawing that goes without
// is still noted, by the next call, inside one rectangle.
void NoteDrawing(CanvasState& canvas) noexcept;

// Writes a snapshot's pixels (rows of the canvas's width, as many as it is high) over the
// canvas's own in place, and only where they differ, noting what it wrote; false, writing
// nothing, when the canvas has no pixels to write so. When all that is seen shows the
// pixels, unchanged since, the snapshot goes to the copy's bitmap instead, which becomes
// the backing bitmap, and the one the screen shows becomes the copy.
bool WriteSnapshotInPlace(CanvasState& canvas, const char* pixels) noexcept;
// Notes an area written past the drawing operations.
void NoteWritten(CanvasState& canvas, const RECT& area) noexcept;

// The part of the canvas that the next screen update must send: the rectangle around every
// pixel that differs from the screen, all that is seen when that is most of it, the whole
// canvas when what the screen shows is not known, and nothing when nothing differs.
RECT AreaToSend(WindowRecord& record) noexcept;

// Follows a paint of the canvas onto its window: what the DC's clip region let through (the
// region type and box as GetClipBox answers them) now shows the canvas's pixels.
void NoteSentArea(WindowRecord& record, int region, const RECT& box) noexcept;
