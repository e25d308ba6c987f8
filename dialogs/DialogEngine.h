// The dialog engine: dialogs built from in-memory templates, with controls added one by
// one, run modally in a polling loop with an application callback.
//
// Implemented in DialogEngine.cpp (dialogs and their modal run) and DialogControls.cpp
// (AddControl).
#pragma once

#include "dialogs/DialogTypes.h"
#include "platform/Platform.h"
#include "runtime/DynString.h"
#include "runtime/StringArray.h"

#include <cstdint>

constexpr std::int32_t kUnitsPixels = 2;
constexpr std::int32_t kCentred = -1;          // x or y: centre in the work area
constexpr std::int32_t kKeepPosition = 0x8000; // x or y: where the platform put it

HWND NewDialog(HWND parent, const DynString& caption, std::int32_t x, std::int32_t y,
               std::int32_t width, std::int32_t height, std::int32_t style, std::int32_t exStyle,
               std::int32_t units) noexcept;
HWND AddControl(HWND dialog, std::int32_t kind, std::int32_t id, const DynString& text,
                std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                std::int32_t style, std::int32_t exStyle, DialogCallback callback,
                const StringArray* items) noexcept;
void ShowDialogModal(HWND dialog, DialogCallback callback, std::int32_t* result) noexcept;
void EndDialogWith(HWND dialog, std::int32_t result) noexcept;
