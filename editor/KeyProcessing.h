// One key event applied to the text, the view and the cursor, ending in a full redraw of
// the canvas and a new status title.
#pragma once

#include "platform/WindowHandle.h"
#include "runtime/DynString.h"
#include "runtime/StringArray.h"

#include <cstdint>

// scanCode 0 asks for initialisation with window, canvasId and fontSize; later calls pass
// 0, 0 and 0 to use the kept ones. scanCode may come back changed (Enter gives 80).
void ProcessEditorKey(std::int32_t& scanCode, DynString& keyChar, StringArray& lines,
                      WindowHandle window, std::int32_t canvasId, std::int32_t fontSize) noexcept;

// The keyboard hook's key target in the program: one key for the text in LineArray, in
// the window and canvas that the initialising call of ProcessEditorKey kept.
void EditorKeyTarget(std::int32_t& scanCode, DynString& keyChar) noexcept;
