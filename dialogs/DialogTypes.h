// What the dialog engine's callers and its records share: the application callback and
// the engine's own kinds of record.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

// An application function that sees a dialog's messages; 0 means not handled.
using DialogCallback = std::int32_t (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Kinds of record: 0 a dialog; the engine's own control kinds of AddControl. Other
// kinds register themselves (ControlKinds.h).
constexpr std::int32_t kKindDialog = 0;
constexpr std::int32_t kKindButton = 1;
constexpr std::int32_t kKindListBox = 16;
