// The thread keyboard hook that turns the editor window's key presses into key events,
// with its companion that delivers the characters that come without a key press of
// their own (composed with a dead key, or sent as VK_PACKET).
#pragma once

#include "platform/Platform.h"
#include "runtime/DynString.h"

#include <cstdint>

// Where the hook delivers each key event (scan code and character, as references). The
// program sets the editor's key routine when it starts; a test may set a recorder. While
// none is set, keys go nowhere.
using KeyTarget = void (*)(std::int32_t& scanCode, DynString& keyChar) noexcept;
void SetKeyTarget(KeyTarget target) noexcept;

// Both hooks go in and out together.
void InstallKeyboardHook() noexcept;
void RemoveKeyboardHook() noexcept;
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
// The editor window's callback: installs the hook, removes it, ends the window on IDCANCEL.
std::int32_t EditorDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
