// Small operations on one dialog or control of the dialog engine. A missing dialog,
// control or record makes them do nothing (or answer 0 or "").
//
// Implemented in ControlServices.cpp, except SetControlColor: ControlColours.cpp, beside
// the colours' use.
#pragma once

#include "platform/WindowHandle.h"
#include "runtime/DynString.h"

#include <cstdint>

// The calling thread's default dialog font: at most 31 bytes of face, points & 0xFF.
void SetDialogFont(const DynString& face, std::int32_t points) noexcept;
void SetControlColor(WindowHandle dialog, std::int32_t controlId, std::int32_t textColour,
                     std::int32_t backColour) noexcept;
void SelectListItem(WindowHandle dialog, std::int32_t controlId, std::int32_t item) noexcept;
DynString GetListText(WindowHandle dialog, std::int32_t controlId) noexcept;
WindowHandle GetControlHandle(WindowHandle dialog, std::int32_t controlId) noexcept;
// User value ((n - 1) AND 7) + 1 of a control; 0 when the window has no record.
std::int32_t GetControlUser(WindowHandle control, std::int32_t n) noexcept;
void SetControlUser(WindowHandle control, std::int32_t n, std::int32_t value) noexcept;
void SetWindowCaption(WindowHandle window, const DynString& text) noexcept;
