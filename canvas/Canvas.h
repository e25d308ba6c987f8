// The canvas operations that drawing code calls. Each acts on the calling thread's
// current canvas (chosen by CanvasAttach) and does nothing without one; queries then
// answer zeros or "". Coordinates are pixels of the backing bitmap, rounded ties-to-even.
// Colours are 0x00BBGGRR; -1 asks for a system colour, -2 (background) for transparency.
//
// Implemented in CurrentCanvas.cpp (attach, redraw, size), CanvasText.cpp (font, position,
// text and its colours), CanvasPictures.cpp (pictures and pixel snapshots) and
// CanvasShapes.cpp (clearing and lines).
#pragma once

#include "platform/WindowHandle.h"
#include "runtime/DynString.h"

#include <cstdint>

constexpr std::int32_t kCanvasDeferredRedraw = 0x80; // CanvasAttach option
constexpr std::int32_t kColourSystem = -1;
constexpr std::int32_t kColourTransparent = -2;

// Makes the control with that id of the window (or else the window itself) the thread's
// current canvas; error 68 and no current canvas when it is no canvas.
void CanvasAttach(WindowHandle window, std::int32_t controlId, std::int32_t option) noexcept;
// Brings the screen up to date with the backing bitmap.
void CanvasRedraw() noexcept;
void CanvasGetSize(double& width, double& height) noexcept;
// The part of the canvas that its window shows: a canvas larger than its dialog's client
// area, or placed partly outside it, is seen only inside it.
void CanvasGetVisibleSize(double& width, double& height) noexcept;

void CanvasSetFont(const DynString& face, std::int32_t size, std::int32_t style) noexcept;
void CanvasGetCharSize(double& width, double& height) noexcept;
void CanvasMoveTo(double x, double y) noexcept;
void CanvasPrint(const DynString& text) noexcept;
void CanvasSetTextColor(std::int32_t colour) noexcept;
void CanvasSetBackColor(std::int32_t colour) noexcept;

void CanvasDrawPicture(const DynString& name, double x1, double y1, double x2, double y2) noexcept;
DynString CanvasGetPixels() noexcept;
void CanvasSetPixels(const DynString& pixels) noexcept;

void CanvasClear(std::int32_t colour, std::int32_t fillStyle) noexcept;
void CanvasLineTo(double x, double y, std::int32_t colour) noexcept;
