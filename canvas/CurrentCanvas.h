// What every canvas operation shares: finding the thread's current canvas and bringing
// the screen up to date.
#pragma once

#include "platform/Platform.h"

struct WindowRecord;

// The record of the calling thread's current canvas, or null when there is none, it is
// gone, it is no canvas, or it has no backing bitmap to draw on.
WindowRecord* CurrentCanvas() noexcept;

// Has the control paint itself from the backing bitmap before returning: the rows that
// differ from what the screen shows, or all of it (ScreenCopy.h).
void UpdateCanvasScreen(WindowRecord& canvas) noexcept;
// The same, unless the canvas waits for CanvasRedraw.
void AutoRedraw(WindowRecord& canvas) noexcept;

// The part of the canvas that its window shows, in canvas pixels: all of it unless the
// canvas is larger than its dialog's client area or lies partly outside it.
RECT CanvasVisibleArea(const WindowRecord& canvas) noexcept;
