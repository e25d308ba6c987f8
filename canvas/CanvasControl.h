// The canvas as a control of the dialog engine: made when the engine adds a control of
// kind 14, painted from its backing bitmap, released when its dialog is destroyed.
#pragma once

#include "platform/Platform.h"

struct WindowRecord;

// Gives a new canvas control its memory DC, backing bitmap, default font and colours.
void CanvasInitBacking(WindowRecord& record) noexcept;
// WM_DRAWITEM of a dialog: copies a canvas's whole bitmap; FALSE for any other control.
BOOL CanvasPaint(HWND dialog, const DRAWITEMSTRUCT& item) noexcept;
// Puts the stock objects back and deletes the bitmap, the font and the memory DC.
void CanvasReleaseBacking(WindowRecord& record) noexcept;
// Registers the three above as the operations of control kind 14, so that the dialog
// engine sets up, paints and releases canvases; whoever adds a canvas control calls it
// first (the editor window does).
void RegisterCanvasControl() noexcept;
