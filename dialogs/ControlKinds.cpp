#include "dialogs/ControlKinds.h"

#include "dialogs/DialogTypes.h"

#include <iterator>

namespace {

struct Registered {
    std::int32_t kind;
    ControlKind description;
};

// WS_CHILD, WS_VISIBLE, WS_TABSTOP; always WS_CHILD, WS_VISIBLE.
constexpr ControlKind kButton{"BUTTON", 0x50010000, 0x50000000, nullptr, nullptr, nullptr};
static_assert(kButton.defaultStyle == (WS_CHILD | WS_VISIBLE | WS_TABSTOP));
static_assert(kButton.forcedOn == (WS_CHILD | WS_VISIBLE));
// WS_CHILD, WS_VISIBLE, WS_BORDER, WS_VSCROLL, WS_TABSTOP, LBS_SORT, LBS_NOTIFY; always
// WS_CHILD, WS_VISIBLE, LBS_NOTIFY.
constexpr ControlKind kListBox{"LISTBOX", 0x50A10003, 0x50000001, nullptr, nullptr, nullptr};
static_assert(kListBox.defaultStyle == (WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL |
                                        WS_TABSTOP | LBS_SORT | LBS_NOTIFY));
static_assert(kListBox.forcedOn == (WS_CHILD | WS_VISIBLE | LBS_NOTIFY));

// The engine's own kinds and a handful more at most, registered on the user-interface
// thread at start.
Registered registered[6] = {{kKindButton, kButton}, {kKindListBox, kListBox}};
std::size_t registeredCount = 2;

} // namespace

void RegisterControlKind(std::int32_t kind, const ControlKind& description) noexcept {
    for (std::size_t i = 0; i < registeredCount; ++i) {
        if (registered[i].kind == kind) {
            registered[i].description = description;
            return;
        }
    }
    if (registeredCount < std::size(registered)) {
        registered[registeredCount++] = {kind, description};
    }
}

const ControlKind* FindControlKind(std::int32_t kind) noexcept {
    for (std::size_t i = 0; i < registeredCount; ++i) {
        if (registered[i].kind == kind) {
            return &registered[i].description;
        }
    }
    return nullptr;
}
