// What every canvas operation shares: finding the thread's current canvas, turning
// coordinates into pixels, and bringing the screen up to date.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

struct WindowRecord;

// The record of the calling thread's current canvas, or null when there is none, it is
// gone, it is no canvas, or it has no backing bitmap to draw on.
WindowRecord* CurrentCanvas() noexcept;

// A coordinate rounded to the nearest pixel, a tie going to the even neighbour.
std::int32_t ToPixel(double coordinate) noexcept;

// Has the control paint itself from the backing bitmap before returning.
void UpdateCanvasScreen(const WindowRecord& canvas) noexcept;
// The same, unless the canvas waits for CanvasRedraw.
void AutoRedraw(const WindowRecord& canvas) noexcept;
