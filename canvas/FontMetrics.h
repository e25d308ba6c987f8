// What the canvas keeps of its current font's measurements.
#pragma once

#include "canvas/CanvasState.h"

// Reads the character cell of the font selected in the memory DC, and the advance of a
// space where spaces draw nothing on a transparent background (not underlined or struck
// out).
void TakeFontMetrics(CanvasState& canvas) noexcept;
