// The canvas as a control of the dialog engine: made when the engine adds a control of
// its kind, painted from its backing bitmap, released when its dialog is destroyed.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

struct WindowRecord;

// The canvas's control kind, for AddControl.
constexpr std::int32_t kKindCanvas = 14;

// Gives a new canvas control its memory DC, backing bitmap, default font and colours.
void CanvasInitBacking(WindowRecord& record) noexcept;
// WM_DRAWITEM of a dialog: copies a canvas's whole bitmap; FALSE for any other control.
BOOL CanvasPaint(HWND dialog, const DRAWITEMSTRUCT& item) noexcept;
// Puts the stock objects back and deletes the bitmap, the font and the memory DC.
void CanvasReleaseBacking(WindowRecord& record) noexcept;
// Registers the canvas's kind, a "STATIC" owner-drawn control with the three operations
// above, so that the dialog engine makes, sets up, paints and releases canvases; whoever
// adds a canvas control calls it first (the editor window does).
void RegisterCanvasControl() noexcept;
