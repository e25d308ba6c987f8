#include "dialogs/DialogProcedure.h"

#include "dialogs/ControlColours.h"
#include "dialogs/ControlKinds.h"
#include "dialogs/DialogEngine.h"
#include "dialogs/WindowRecord.h"

namespace {

// The callback of a window's own record, called with that window; 0 when it has none. The
// record is looked up afresh each time: a callback may have destroyed the dialog.
std::int32_t CallRecord(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr || record->callback == nullptr) {
        return 0;
    }
    return record->callback(window, message, wParam, lParam);
}

// A callback's nonzero answer is the message's result, unless one was set already.
INT_PTR Answer(HWND dialog, std::int32_t result) {
    if (result != 0 && GetWindowLongPtrA(dialog, DWLP_MSGRESULT) == 0) {
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    }
    return result;
}

// Answered here so that the platform's default processing does not move the focus.
INT_PTR OnActivate() {
    return TRUE;
}

// A message about a control: the control's own callback first, then the dialog's.
INT_PTR OnControlMessage(HWND dialog, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::int32_t result = CallRecord(control, message, wParam, lParam)) {
        return result;
    }
    return Answer(dialog, CallRecord(dialog, message, wParam, lParam));
}

// The control's kind paints it, whatever the callback answers; FALSE when the kind has no
// painting of its own.
INT_PTR OnDrawItem(HWND dialog, WPARAM wParam, LPARAM lParam) {
    CallRecord(dialog, WM_DRAWITEM, wParam, lParam);
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item == nullptr) {
        return FALSE;
    }
    const WindowRecord* record =
        FindWindowRecord(GetDlgItem(dialog, static_cast<int>(item->CtlID)));
    const ControlKind* kind = record != nullptr ? FindControlKind(record->kind) : nullptr;
    return kind != nullptr && kind->paint != nullptr ? kind->paint(dialog, *item) : FALSE;
}

// The engine's control colours, unless the callback answers.
INT_PTR OnControlColour(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::int32_t result = CallRecord(dialog, message, wParam, lParam)) {
        return Answer(dialog, result);
    }
    return ApplyControlColours(message, reinterpret_cast<HDC>(wParam),
                               reinterpret_cast<HWND>(lParam));
}

// The close box and Alt+F4 end the dialog with 0, unless the callback answers.
INT_PTR OnSysCommand(HWND dialog, WPARAM wParam, LPARAM lParam) {
    if (const std::int32_t result = CallRecord(dialog, WM_SYSCOMMAND, wParam, lParam)) {
        return Answer(dialog, result);
    }
    if ((wParam & 0xFFF0) != SC_CLOSE) {
        return FALSE;
    }
    EndDialogWith(dialog, 0);
    return TRUE;
}

// The records of the dialog and its controls go once the callback has seen the end.
INT_PTR OnNcDestroy(HWND dialog, WPARAM wParam, LPARAM lParam) {
    const std::int32_t result = CallRecord(dialog, WM_NCDESTROY, wParam, lParam);
    FreeWindowRecord(dialog);
    return Answer(dialog, result);
}

} // namespace

INT_PTR CALLBACK EngineDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        return OnActivate();
    case WM_HSCROLL:
    case WM_VSCROLL:
        return OnControlMessage(dialog, reinterpret_cast<HWND>(lParam), message, wParam, lParam);
    case WM_COMMAND:
        return OnControlMessage(dialog, GetDlgItem(dialog, LOWORD(wParam)), message, wParam,
                                lParam);
    case WM_DRAWITEM:
        return OnDrawItem(dialog, wParam, lParam);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return OnControlColour(dialog, message, wParam, lParam);
    case WM_SYSCOMMAND:
        return OnSysCommand(dialog, wParam, lParam);
    case WM_NCDESTROY:
        return OnNcDestroy(dialog, wParam, lParam);
    default:
        // Everything else is the callback's alone.
        return Answer(dialog, CallRecord(dialog, message, wParam, lParam));
    }
}
