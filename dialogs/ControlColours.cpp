#include "dialogs/ControlColours.h"

#include "dialogs/ControlServices.h"
#include "dialogs/WindowRecord.h"

#include <iterator>

namespace {

constexpr std::int32_t kSystemColour = -1;
constexpr std::int32_t kTransparent = -2;

// System colours of each message's kind, from WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC:
// message box, edit, list box, button, dialog, scroll bar, static.
constexpr int kSystemText[] = {COLOR_MENUTEXT,   COLOR_WINDOWTEXT, COLOR_WINDOWTEXT, COLOR_BTNTEXT,
                               COLOR_WINDOWTEXT, COLOR_WINDOWTEXT, COLOR_WINDOWTEXT};
constexpr int kSystemBack[] = {COLOR_MENU,    COLOR_WINDOW,    COLOR_WINDOW, COLOR_BTNFACE,
                               COLOR_BTNFACE, COLOR_SCROLLBAR, COLOR_BTNFACE};

std::int32_t NormalTextColour(std::int32_t colour) {
    return colour < 0 ? kSystemColour : colour & 0xFFFFFF;
}

std::int32_t NormalBackColour(std::int32_t colour) {
    if (colour == kTransparent) {
        return kTransparent;
    }
    return colour < 0 ? kSystemColour : colour & 0xFFFFFF;
}

} // namespace

void SetControlColor(WindowHandle dialog, std::int32_t controlId, std::int32_t textColour,
                     std::int32_t backColour) noexcept {
    textColour = NormalTextColour(textColour);
    backColour = NormalBackColour(backColour);
    if (FindWindowRecord(dialog) == nullptr) {
        return;
    }
    WindowRecord* record = FindWindowRecord(GetDlgItem(dialog, controlId));
    if (record == nullptr) {
        return;
    }

    HBRUSH brush = nullptr;
    if (backColour >= 0) {
        brush = FindSharedBrush(backColour);
        if (brush == nullptr) {
            brush = CreateSolidBrush(static_cast<COLORREF>(backColour));
        }
        if (brush == nullptr) {
            backColour = kSystemColour;
        }
    }
    const HBRUSH oldBrush = record->brush;
    const std::int32_t oldBackColour = record->backColour;
    record->textColour = textColour;
    record->backColour = backColour;
    record->brush = brush;
    if (oldBrush != nullptr && oldBrush != brush && !BackColourInUse(oldBackColour)) {
        DeleteObject(oldBrush);
    }
}

INT_PTR ApplyControlColours(UINT message, HDC dc, HWND control) noexcept {
    const WindowRecord* record = FindWindowRecord(control);
    if (record == nullptr || record->textColour == kColourNotSet) {
        return 0;
    }
    const unsigned kind = message - WM_CTLCOLORMSGBOX;
    if (kind >= std::size(kSystemText)) {
        return 0;
    }

    const COLORREF text = record->textColour == kSystemColour
                              ? GetSysColor(kSystemText[kind])
                              : static_cast<COLORREF>(record->textColour);
    SetTextColor(dc, text);

    if (record->backColour == kTransparent) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    if (record->backColour >= 0 && record->brush != nullptr) {
        SetBkColor(dc, static_cast<COLORREF>(record->backColour));
        return reinterpret_cast<INT_PTR>(record->brush);
    }
    SetBkColor(dc, GetSysColor(kSystemBack[kind]));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(kSystemBack[kind]));
}
