// The editor's screen: the canvas prepared with its background, the text font and the
// sizes that follow from it, the visible text with guide lines and cursor cell, and the
// status line in the window's title.
#pragma once

#include "editor/TextModel.h"
#include "platform/WindowHandle.h"
#include "runtime/DynString.h"
#include "runtime/StringArray.h"

#include <cstdint>

// The key help at the start of the status title (two spaces before the position).
extern const char HelpText[];
extern const char BackgroundImageName[];

// Sizes measured afresh at every key event.
struct ScreenMetrics {
    double canvasWidth;          // pixels
    double canvasHeight;         // pixels
    double visibleWidth;         // pixels of the canvas that the editor window shows
    double visibleHeight;        // pixels of the canvas that the editor window shows
    double charWidth;            // pixels of one character cell of the current font
    double charHeight;           // pixels of one character cell of the current font
    std::int32_t visibleRows;    // rows wholly inside visibleHeight
    std::int32_t visibleColumns; // columns wholly inside visibleWidth
};

// Attaches the canvas for deferred drawing, clears it and lays the background: the picture
// on the program's first screen, the pixels captured from it on every later one.
void PrepareCanvas(WindowHandle window, std::int32_t canvasId, ScreenMetrics& metrics) noexcept;

// Selects the text font at fontSize points and measures its cell and what fits on the canvas.
void SelectTextFont(std::int32_t fontSize, ScreenMetrics& metrics) noexcept;

// Draws the visible lines, the two guide lines through the cursor and the cursor cell into
// the backing bitmap; the screen shows them at the next CanvasRedraw.
void DrawVisibleText(const StringArray& lines, const ViewState& view,
                     const ScreenMetrics& metrics) noexcept;

// The status line: key help, cursor line and column, insert mode, font size and the key.
DynString StatusTitle(const ViewState& view, std::int32_t fontSize, std::int32_t scanCode,
                      const DynString& keyChar) noexcept;
