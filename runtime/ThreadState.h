// Per-thread runtime record, kept in one thread-local storage slot.
#pragma once

#include "runtime/ErrorNumber.h"

#include <cstdint>

// The default dialog font: every thread's until the program sets another, and the font
// that a new canvas draws in.
constexpr char kDefaultDialogFace[] = "MS Sans Serif";
constexpr std::uint8_t kDefaultDialogPoints = 8;

struct ThreadState {
    ErrorNumber errorNumber;       // last failure recorded by a runtime service on this thread
    char dialogFontFace[32];       // default dialog font: face name, at most 31 bytes, NUL-ended
    std::uint8_t dialogFontPoints; // default dialog font: point size
    void* currentCanvas;           // window handle of the thread's current canvas, or null
    ThreadState* nextState;        // link of the list of all records, released at shutdown
};

// Allocates the slot and the calling (main) thread's record with the default dialog font.
// False when either cannot be had.
bool ThreadStateStartup() noexcept;

// Releases every thread's record and the slot.
void ThreadStateShutdown() noexcept;

// The calling thread's record, made on first use with a copy of the main thread's dialog
// font; null only when memory for it cannot be had.
ThreadState* CurrentThreadState() noexcept;
