// The editor's command menu: the nine text operations in a list.
#pragma once

#include "platform/Platform.h"
#include "platform/WindowHandle.h"

#include <cstdint>

// 1 to 9 for the chosen item, 0 when the menu was cancelled. owner is the editor window:
// it owns the menu, and the keyboard hook comes back after the menu only while it exists.
std::int32_t ShowCommandMenu(WindowHandle owner) noexcept;
// The menu's callback: keeps the keyboard hook away while the menu is open, ends it with
// the selected item's number on Enter and with 0 on Esc.
std::int32_t MenuDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
