#include "dialogs/DialogProcedure.h"

#include "dialogs/ControlColours.h"
#include "dialogs/ControlKinds.h"
#include "dialogs/DialogEngine.h"
#include "dialogs/WindowRecord.h"

namespace {

// WM_DRAWITEM: the control's kind paints it; FALSE when the kind has no painting.
BOOL PaintControl(HWND dialog, const DRAWITEMSTRUCT& item) {
    const WindowRecord* record = FindWindowRecord(GetDlgItem(dialog, static_cast<int>(item.CtlID)));
    const ControlKindOperations* kind =
        record != nullptr ? FindControlKindOperations(record->kind) : nullptr;
    return kind != nullptr && kind->paint != nullptr ? kind->paint(dialog, item) : FALSE;
}

// The callback of a control's own, called with the control's window; 0 when it has none.
std::int32_t CallControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* record = FindWindowRecord(control);
    if (record == nullptr || record->callback == nullptr)
        return 0;
    return record->callback(control, message, wParam, lParam);
}

} // namespace

INT_PTR CALLBACK EngineDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // Answered here so that the platform's default processing does not move the focus.
    if (message == WM_ACTIVATE)
        return TRUE;

    if (message == WM_HSCROLL || message == WM_VSCROLL) {
        if (std::int32_t result =
                CallControl(reinterpret_cast<HWND>(lParam), message, wParam, lParam))
            return result;
    } else if (message == WM_COMMAND) {
        HWND control = GetDlgItem(dialog, LOWORD(wParam));
        if (std::int32_t result = CallControl(control, message, wParam, lParam))
            return result;
    }

    // The record is looked up afresh each time: a callback may have destroyed the dialog.
    std::int32_t result = 0;
    if (const WindowRecord* record = FindWindowRecord(dialog);
        record != nullptr && record->callback != nullptr)
        result = record->callback(dialog, message, wParam, lParam);

    if (message == WM_NCDESTROY)
        FreeWindowRecord(dialog);

    if (message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item != nullptr ? PaintControl(dialog, *item) : FALSE;
    }

    if (result != 0) {
        if (GetWindowLongPtrA(dialog, DWLP_MSGRESULT) == 0)
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
        return result;
    }

    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        return ApplyControlColours(message, reinterpret_cast<HDC>(wParam),
                                   reinterpret_cast<HWND>(lParam));

    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        EndDialogWith(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
