// Placeholder until the canvas control is built: a canvas has no backing bitmap yet.
#include "canvas/CanvasControl.h"

void CanvasInitBacking(WindowRecord&) noexcept {}
BOOL CanvasPaint(HWND, const DRAWITEMSTRUCT&) noexcept { return FALSE; }
void CanvasReleaseBacking(WindowRecord&) noexcept {}
