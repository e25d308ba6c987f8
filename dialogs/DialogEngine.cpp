#include "dialogs/DialogEngine.h"

#include "dialogs/DialogProcedure.h"
#include "dialogs/DialogTemplate.h"
#include "dialogs/WindowRecord.h"
#include "runtime/ThreadState.h"

namespace {

// No z-order change, no redraw, no activation, no copying of bits, no owner z-order
// change and no WM_WINDOWPOSCHANGING.
constexpr UINT kPlacementFlags = 0x71C;
static_assert(kPlacementFlags == (SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS |
                                  SWP_NOOWNERZORDER | SWP_NOSENDCHANGING));

std::int32_t ShowStateOf(DWORD style) {
    if ((style & WS_MAXIMIZE) != 0) {
        return SW_SHOWMAXIMIZED;
    }
    if ((style & WS_MINIMIZE) != 0) {
        return SW_MINIMIZE;
    }
    return SW_SHOW;
}

// Where a window of this extent starts when centred between low and high. A window
// larger than the span overhangs both ends alike.
int CentreIn(LONG low, LONG high, int extent) {
    return static_cast<int>((static_cast<std::int64_t>(low) + high - extent) / 2);
}

// Makes the client area width x height pixels and places the window: x or y kKeepPosition
// keeps the platform's position, x or y kCentred centres it in the work area, anything
// else is a screen position.
void PlaceInPixels(HWND dialog, std::int32_t x, std::int32_t y, std::int32_t width,
                   std::int32_t height) {
    RECT window{};
    RECT client{};
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    const int outerWidth = width + (window.right - window.left) - client.right;
    const int outerHeight = height + (window.bottom - window.top) - client.bottom;

    UINT flags = kPlacementFlags;
    int left = x;
    int top = y;
    if (x == kKeepPosition || y == kKeepPosition) {
        flags |= SWP_NOMOVE;
    } else if (x == kCentred || y == kCentred) {
        RECT work{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        left = CentreIn(work.left, work.right, outerWidth);
        top = CentreIn(work.top, work.bottom, outerHeight);
    }
    SetWindowPos(dialog, nullptr, left, top, outerWidth, outerHeight, flags);
}

} // namespace

HWND NewDialog(HWND parent, const DynString& caption, std::int32_t x, std::int32_t y,
               std::int32_t width, std::int32_t height, std::int32_t style, std::int32_t exStyle,
               std::int32_t units) noexcept {
    const DWORD dialogStyle = DialogStyle(style, x == kCentred || y == kCentred);
    const char* face = kDefaultDialogFace;
    std::uint8_t points = kDefaultDialogPoints;
    if (const ThreadState* state = CurrentThreadState()) {
        face = state->dialogFontFace;
        points = state->dialogFontPoints;
    }
    // The window is made in its normal state and takes the maximized or minimized state
    // when it is shown: made maximized, it would keep the pixel size placed below, since
    // showing a window that is already maximized does not maximize it again.
    const DWORD creationStyle = dialogStyle & ~static_cast<DWORD>(WS_MAXIMIZE | WS_MINIMIZE);
    DialogTemplate dialogTemplate;
    BuildDialogTemplate(dialogTemplate, creationStyle, static_cast<DWORD>(exStyle),
                        static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                        static_cast<std::int16_t>(width), static_cast<std::int16_t>(height),
                        caption, face, points);

    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate.Get(),
                                             parent, EngineDialogProc, 0);
    if (dialog == nullptr) {
        return nullptr;
    }
    const bool pixels = units == kUnitsPixels;
    if (pixels) {
        PlaceInPixels(dialog, x, y, width, height);
    }

    WindowRecord* record = NewWindowRecord(dialog, parent, kKindDialog, pixels ? kRecordPixels : 0);
    if (record == nullptr) {
        DestroyWindow(dialog);
        return nullptr;
    }
    record->showState = ShowStateOf(dialogStyle);
    record->font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    return dialog;
}

void ShowDialogModal(HWND dialog, DialogCallback callback, std::int32_t* result) noexcept {
    const WindowRecord* initial = FindWindowRecord(dialog);
    if (initial == nullptr) {
        return;
    }
    const std::int32_t showState = initial->showState;
    if (callback != nullptr) {
        callback(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(dialog), 0);
        RECT client{};
        GetClientRect(dialog, &client);
        const WPARAM sizeKind = showState == SW_SHOWMAXIMIZED ? SIZE_MAXIMIZED
                                : showState == SW_MINIMIZE    ? SIZE_MINIMIZED
                                                              : SIZE_RESTORED;
        callback(dialog, WM_SIZE, sizeKind, MAKELPARAM(client.right, client.bottom));
    }

    // Found again: the callback may have ended the dialog already.
    WindowRecord* record = FindWindowRecord(dialog);
    if (record == nullptr) {
        return;
    }
    record->callback = callback;
    record->result = result;
    record->flags |= kRecordModal;
    HWND owner = record->parent;
    if (owner != nullptr) {
        SendMessageA(owner, WM_CANCELMODE, 0, 0);
        EnableWindow(owner, FALSE);
    }
    ShowWindow(dialog, showState);

    // The loop polls, so that it never waits inside the platform while it has work.
    MSG message;
    while (IsWindow(dialog)) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            Sleep(1);
            continue;
        }
        if (!IsWindow(dialog) || !IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (owner != nullptr) {
        // Also when the dialog was destroyed some other way than EndDialogWith.
        EnableWindow(owner, TRUE);
        SetFocus(owner);
    }
}

void EndDialogWith(HWND dialog, std::int32_t result) noexcept {
    if (FindWindowRecord(dialog) == nullptr) {
        return;
    }
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    // Found again: the callback saw WM_CLOSE and may have destroyed the dialog.
    const WindowRecord* record = FindWindowRecord(dialog);
    if (record == nullptr) {
        return;
    }
    HWND owner = (record->flags & kRecordModal) != 0 ? record->parent : nullptr;
    if (owner != nullptr) {
        EnableWindow(owner, TRUE);
    }
    if (record->result != nullptr) {
        *record->result = result;
    }
    if (!DestroyWindow(dialog) && owner != nullptr) {
        EnableWindow(owner, FALSE);
    }
}
