// The editor window: maximized, topmost, with one canvas control over the work area.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

constexpr std::int32_t kEditorCanvasId = 110;
constexpr std::int32_t kEditorFontSize = 9; // the font size each editor window starts with

// Makes the editor window (hidden, captioned "Editor") with its canvas control, and
// answers it; the initialising key call then draws its first screen.
HWND NewEditorWindow() noexcept;

// Starts stretching the background picture of the current folder for the editor window's
// first screen, which takes it when it finds the same file there.
void PrepareEditorBackground() noexcept;
