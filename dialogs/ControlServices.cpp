#include "dialogs/ControlServices.h"

#include "dialogs/WindowRecord.h"
#include "platform/Platform.h"
#include "runtime/ErrorNumber.h"
#include "runtime/ThreadState.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// Slot of user value n: ((n - 1) AND 7) + 1, counted from 0 here.
std::uint32_t UserSlot(std::int32_t n) {
    return (static_cast<std::uint32_t>(n) - 1u) & 7u;
}

} // namespace

void SetDialogFont(const DynString& face, std::int32_t points) noexcept {
    ThreadState* state = CurrentThreadState();
    if (state == nullptr) {
        return;
    }
    const std::uint32_t limit = sizeof state->dialogFontFace - 1;
    const std::uint32_t length = face.Length() < limit ? face.Length() : limit;
    std::memcpy(state->dialogFontFace, face.Bytes(), length);
    state->dialogFontFace[length] = '\0';
    state->dialogFontPoints = static_cast<std::uint8_t>(points & 0xFF);
}

void SelectListItem(WindowHandle dialog, std::int32_t controlId, std::int32_t item) noexcept {
    if (HWND list = GetDlgItem(dialog, controlId)) {
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(item - 1), 0);
    }
}

DynString GetListText(WindowHandle dialog, std::int32_t controlId) noexcept {
    HWND list = GetDlgItem(dialog, controlId);
    if (list == nullptr) {
        return {};
    }
    const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index < 0) {
        return {};
    }
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) {
        return {};
    }
    // The item's text comes with a terminating 0 byte, so the buffer needs one byte more.
    const std::unique_ptr<char[]> text(
        new (std::nothrow) char[static_cast<std::size_t>(length) + 1]);
    if (text == nullptr) {
        SetErrorNumber(Err::OutOfMemory);
        return {};
    }
    const LRESULT copied = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.get()));
    if (copied <= 0) {
        return {};
    }
    return DynString(text.get(), static_cast<std::uint32_t>(copied < length ? copied : length));
}

// The engine's own records answer first: the editor asks on every key, and GetDlgItem is a
// round trip to the window server under Wine. A dialog where they find none, or two, is
// asked as before.
WindowHandle GetControlHandle(WindowHandle dialog, std::int32_t controlId) noexcept {
    if (const HWND recorded = FindOnlyControl(dialog, controlId)) {
        return recorded;
    }
    return GetDlgItem(dialog, controlId);
}

std::int32_t GetControlUser(WindowHandle control, std::int32_t n) noexcept {
    const WindowRecord* record = FindWindowRecord(control);
    return record != nullptr ? record->user[UserSlot(n)] : 0;
}

void SetControlUser(WindowHandle control, std::int32_t n, std::int32_t value) noexcept {
    if (WindowRecord* record = FindWindowRecord(control)) {
        record->user[UserSlot(n)] = value;
    }
}

void SetWindowCaption(WindowHandle window, const DynString& text) noexcept {
    SetWindowTextA(window, text.Bytes());
}
