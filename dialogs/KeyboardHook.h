// The thread keyboard hook that turns the editor window's key presses into key events.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

void InstallKeyboardHook() noexcept;
void RemoveKeyboardHook() noexcept;
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
// The editor window's callback: installs the hook, removes it, ends the window on IDCANCEL.
std::int32_t EditorDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
