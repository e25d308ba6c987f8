// The program's top level: the start dialog and the sequence of one editor run.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

// The start dialog's callback: "Load file" runs one editor run, IDCANCEL ends the program.
std::int32_t StartDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
