#include "dialogs/DialogEngine.h"

#include "dialogs/ControlKinds.h"
#include "dialogs/WindowRecord.h"

namespace {

// The kind's default style when none is given, then its forced bits. A default list box
// trades its border for a sunken client edge.
void ApplyKindStyle(std::int32_t kind, const ControlKind& description, DWORD& style,
                    DWORD& exStyle) {
    if (style == 0) {
        style = description.defaultStyle;
        if (kind == kKindListBox && (style & WS_BORDER) != 0) {
            style &= ~static_cast<DWORD>(WS_BORDER);
            exStyle |= WS_EX_CLIENTEDGE;
        }
    }
    style |= description.forcedOn;
}

void AddListItems(HWND list, const StringArray& items) {
    for (std::int32_t i = items.LowerBound(); i <= items.UpperBound(); ++i) {
        if (items[i].IsEmpty()) {
            break;
        }
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i].Bytes()));
    }
}

} // namespace

HWND AddControl(HWND dialog, std::int32_t kind, std::int32_t id, const DynString& text,
                std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                std::int32_t style, std::int32_t exStyle, DialogCallback callback,
                const StringArray* items) noexcept {
    const WindowRecord* dialogRecord = FindWindowRecord(dialog);
    const ControlKind* controlKind = FindControlKind(kind);
    // Controls go into dialogs only: a dialog's end frees the records of its own controls.
    if (dialogRecord == nullptr || dialogRecord->kind != kKindDialog || controlKind == nullptr) {
        return nullptr;
    }
    const std::uint32_t units = dialogRecord->flags & kRecordPixels;
    HFONT font = dialogRecord->font;

    RECT area{x, y, x + width, y + height};
    if (units == 0) {
        MapDialogRect(dialog, &area);
    }
    DWORD controlStyle = static_cast<DWORD>(style);
    DWORD controlExStyle = static_cast<DWORD>(exStyle);
    ApplyKindStyle(kind, *controlKind, controlStyle, controlExStyle);

    HWND control = CreateWindowExA(
        controlExStyle, controlKind->windowClass, text.Bytes(), controlStyle, area.left, area.top,
        area.right - area.left, area.bottom - area.top, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (control == nullptr) {
        return nullptr;
    }
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);

    WindowRecord* record = NewWindowRecord(control, dialog, kind, units | kRecordControl);
    if (record != nullptr) {
        record->callback = callback;
        record->controlId = id;
    }

    if (kind == kKindListBox && items != nullptr) {
        AddListItems(control, *items);
    }
    if (kind == kKindButton && (controlStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    }
    if (controlKind->setUp != nullptr && record != nullptr) {
        controlKind->setUp(*record);
    }
    return control;
}
