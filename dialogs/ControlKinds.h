// A control kind's own code, which the dialog engine calls without knowing the kind: it
// sets up a new control's state, paints an owner-drawn control, and releases the state
// when the control's record is freed. A kind registers its operations before its first
// control is added; a kind without them has no state of its own.
#pragma once

#include "dialogs/WindowRecord.h"
#include "platform/Platform.h"

#include <cstdint>

struct ControlKindOperations {
    void (*setUp)(WindowRecord& record) noexcept;
    BOOL (*paint)(HWND dialog, const DRAWITEMSTRUCT& item) noexcept; // WM_DRAWITEM
    void (*release)(WindowRecord& record) noexcept;
};

// Registers (or replaces) the operations of a kind.
void RegisterControlKind(std::int32_t kind, const ControlKindOperations& operations) noexcept;
// The operations registered for a kind, or null.
const ControlKindOperations* FindControlKindOperations(std::int32_t kind) noexcept;
