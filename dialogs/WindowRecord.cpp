#include "dialogs/WindowRecord.h"

#include "dialogs/ControlKinds.h"
#include "runtime/SpinLock.h"

#include <cstdlib>

namespace {

SpinLock recordLock;
WindowRecord* records = nullptr; // newest first

// True when some linked record has this background colour; caller holds the lock.
bool ColourInUse(std::int32_t colour) {
    for (const WindowRecord* record = records; record != nullptr; record = record->next) {
        if (record->backColour == colour) {
            return true;
        }
    }
    return false;
}

// True when a record of the chain before stop holds this brush.
bool BrushInChain(const WindowRecord* chain, const WindowRecord* stop, HBRUSH brush) {
    for (; chain != stop; chain = chain->next) {
        if (chain->brush == brush) {
            return true;
        }
    }
    return false;
}

} // namespace

WindowRecord* NewWindowRecord(HWND window, HWND parent, std::int32_t kind,
                              std::uint32_t flags) noexcept {
    auto* record = static_cast<WindowRecord*>(std::calloc(1, sizeof(WindowRecord)));
    if (record == nullptr) {
        return nullptr;
    }
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
    if (window == nullptr) {
        return nullptr;
    }
    SpinLockGuard guard(recordLock);
    for (WindowRecord* record = records; record != nullptr; record = record->next) {
        if (record->window == window) {
            return record;
        }
    }
    return nullptr;
}

HWND FindOnlyControl(HWND dialog, std::int32_t controlId) noexcept {
    if (dialog == nullptr) {
        return nullptr;
    }
    HWND found = nullptr;
    SpinLockGuard guard(recordLock);
    for (const WindowRecord* record = records; record != nullptr; record = record->next) {
        if ((record->flags & kRecordControl) != 0 && record->parent == dialog &&
            record->controlId == controlId) {
            if (found != nullptr) {
                return nullptr;
            }
            found = record->window;
        }
    }
    return found;
}

void FreeWindowRecord(HWND window) noexcept {
    if (window == nullptr) {
        return;
    }
    WindowRecord* freed = nullptr; // the window's record last, so its controls go first
    {
        SpinLockGuard guard(recordLock);
        WindowRecord* own = nullptr;
        for (WindowRecord** link = &records; *link != nullptr;) {
            WindowRecord* record = *link;
            if (record->window == window) {
                *link = record->next;
                own = record;
            } else if ((record->flags & kRecordControl) != 0 && record->parent == window) {
                *link = record->next;
                record->next = freed;
                freed = record;
            } else {
                link = &record->next;
            }
        }
        if (own != nullptr) {
            WindowRecord** tail = &freed;
            while (*tail != nullptr) {
                tail = &(*tail)->next;
            }
            own->next = nullptr;
            *tail = own;
        }
        // A brush still used by a remaining record stays; a brush shared by several freed
        // records is deleted once, by the first of them.
        for (WindowRecord* record = freed; record != nullptr; record = record->next) {
            if (record->brush != nullptr &&
                (ColourInUse(record->backColour) || BrushInChain(freed, record, record->brush))) {
                record->brush = nullptr;
            }
        }
    }
    // Platform calls happen outside the lock.
    while (freed != nullptr) {
        WindowRecord* record = freed;
        freed = record->next;
        if (record->brush != nullptr) {
            DeleteObject(record->brush);
        }
        const ControlKind* kind = FindControlKind(record->kind);
        if (kind != nullptr && kind->release != nullptr) {
            kind->release(*record);
        }
        std::free(record);
    }
}

HBRUSH FindSharedBrush(std::int32_t backColour) noexcept {
    SpinLockGuard guard(recordLock);
    for (const WindowRecord* record = records; record != nullptr; record = record->next) {
        if (record->backColour == backColour && record->brush != nullptr) {
            return record->brush;
        }
    }
    return nullptr;
}

bool BackColourInUse(std::int32_t backColour) noexcept {
    SpinLockGuard guard(recordLock);
    return ColourInUse(backColour);
}
