// The dialog engine's record of every dialog and control it creates, in one process-wide
// list (newest first) guarded by a spin lock, found by window handle.
#pragma once

#include "dialogs/DialogTypes.h"
#include "platform/Platform.h"

#include <cstdint>

// Bits of WindowRecord::flags.
constexpr std::uint32_t kRecordPixels = 0x02;  // measured in pixels, not dialog units
constexpr std::uint32_t kRecordControl = 0x04; // a control, not a dialog
constexpr std::uint32_t kRecordModal = 0x08;   // run by ShowDialogModal
// These bits belong to the control's kind: only the kind's own code sets and reads them.
constexpr std::uint32_t kRecordKindFlags = 0xF0;

constexpr std::int32_t kColourNotSet = -3;

// Room for a control kind's own state, which only the kind's code reads; zero-filled with
// the record.
struct alignas(8) ControlKindState {
    unsigned char bytes[96];
};

struct WindowRecord {
    WindowRecord* next;      // list link
    HWND window;             // the window handle, the search key
    HWND parent;             // a control's dialog; a dialog's parent at creation
    std::uint32_t flags;     // kRecord... bits
    std::int32_t showState;  // dialogs: SW_SHOWMAXIMIZED, SW_MINIMIZE or SW_SHOW
    HFONT font;              // dialogs: the font the dialog manager made from the template
    DialogCallback callback; // a dialog's callback, or a control's own (null when none)
    std::int32_t* result;    // the caller's result variable, or null
    std::int32_t kind;       // 0 for a dialog, else the control kind
    std::int32_t controlId;  // controls: the id they were created with
    std::int32_t textColour; // control colours (kColourNotSet, -1, -2 or 0x00BBGGRR)
    std::int32_t backColour;
    HBRUSH brush;                // solid brush of backColour, shared by equal colours, or null
    std::int32_t user[8];        // user values 1..8
    std::int32_t drawForeground; // drawing colours taken at creation
    std::int32_t drawBackground;
    ControlKindState kindState; // set up and released by the kind's operations
};

// Makes a zero-filled record for a window (colours not set, drawing colours from the
// system) and links it in; null when memory cannot be had.
WindowRecord* NewWindowRecord(HWND window, HWND parent, std::int32_t kind,
                              std::uint32_t flags) noexcept;
// The record of a window, or null.
WindowRecord* FindWindowRecord(HWND window) noexcept;
// The one control of a dialog recorded with this id, or null when there is none or more
// than one; asks nothing of the platform.
HWND FindOnlyControl(HWND dialog, std::int32_t controlId) noexcept;
// Unlinks and frees the records of a window's controls and then its own. A brush goes
// with the last record of its background colour; a control kind with operations of its
// own releases its state.
void FreeWindowRecord(HWND window) noexcept;

// The brush of some record whose background colour is exactly this one, or null.
HBRUSH FindSharedBrush(std::int32_t backColour) noexcept;
// True when some record has this background colour.
bool BackColourInUse(std::int32_t backColour) noexcept;
