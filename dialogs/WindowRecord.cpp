#include "dialogs/WindowRecord.h"

#include "canvas/CanvasControl.h"
#include "runtime/SpinLock.h"

#include <cstdlib>

namespace {

SpinLock recordLock;
WindowRecord* records = nullptr; // newest first

// True when some record other than skip has this background colour; caller holds the lock.
bool ColourStillUsed(std::int32_t colour, const WindowRecord* skip) {
    for (const WindowRecord* record = records; record != nullptr; record = record->next) {
        if (record != skip && record->backColour == colour)
            return true;
    }
    return false;
}

} // namespace

WindowRecord* NewWindowRecord(HWND window, HWND parent, std::int32_t kind, std::uint32_t flags) noexcept {
    auto* record = static_cast<WindowRecord*>(std::calloc(1, sizeof(WindowRecord)));
    if (record == nullptr)
        return nullptr;
    record->window = window;
    record->parent = parent;
    record->kind = kind;
    record->flags = flags;
    record->textColour = kColourNotSet;
    record->backColour = kColourNotSet;
    record->drawForeground = static_cast<std::int32_t>(GetSysColor(COLOR_WINDOWTEXT));
    record->drawBackground = static_cast<std::int32_t>(GetSysColor(COLOR_BTNFACE));
    SpinLockGuard guard(recordLock);
    record->next = records;
    records = record;
    return record;
}

WindowRecord* FindWindowRecord(HWND window) noexcept {
    if (window == nullptr)
        return nullptr;
    SpinLockGuard guard(recordLock);
    for (WindowRecord* record = records; record != nullptr; record = record->next) {
        if (record->window == window)
            return record;
    }
    return nullptr;
}

void FreeWindowRecord(HWND window) noexcept {
    WindowRecord* found = nullptr;
    HBRUSH brushToDelete = nullptr;
    {
        SpinLockGuard guard(recordLock);
        for (WindowRecord** link = &records; *link != nullptr; link = &(*link)->next) {
            if ((*link)->window == window) {
                found = *link;
                *link = found->next;
                break;
            }
        }
        if (found != nullptr && found->brush != nullptr && !ColourStillUsed(found->backColour, found))
            brushToDelete = found->brush;
    }
    if (found == nullptr)
        return;
    // Platform calls happen outside the lock.
    if (brushToDelete != nullptr)
        DeleteObject(brushToDelete);
    if (found->kind == kKindCanvas)
        CanvasReleaseBacking(*found);
    std::free(found);
}
