// The control kinds of AddControl: for each, the window class and styles a new control
// gets, and the kind's own code, which the dialog engine calls without knowing the kind:
// it sets up a new control's state, paints an owner-drawn control, and releases the state
// when the control's record is freed. The engine knows its own kinds (push button, list
// box); another kind registers itself before its first control is added.
#pragma once

#include "dialogs/WindowRecord.h"
#include "platform/Platform.h"

#include <cstdint>

struct ControlKind {
    const char* windowClass;
    DWORD defaultStyle; // taken when AddControl is given style 0
    DWORD forcedOn;     // added to every style
    // Each may be null: the kind then has no state of its own, or no painting.
    void (*setUp)(WindowRecord& record) noexcept;
    BOOL (*paint)(HWND dialog, const DRAWITEMSTRUCT& item) noexcept; // WM_DRAWITEM
    void (*release)(WindowRecord& record) noexcept;
};

// Registers (or replaces) a kind.
void RegisterControlKind(std::int32_t kind, const ControlKind& description) noexcept;
// The kind's description, or null for a kind that is neither the engine's nor registered.
const ControlKind* FindControlKind(std::int32_t kind) noexcept;
