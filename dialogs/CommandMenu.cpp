#include "dialogs/CommandMenu.h"

#include "dialogs/ControlServices.h"
#include "dialogs/DialogEngine.h"
#include "dialogs/KeyboardHook.h"
#include "runtime/NumberText.h"
#include "runtime/StringArray.h"

namespace {

constexpr std::int32_t kListId = 120;
constexpr std::int32_t kWidth = 260;
constexpr std::int32_t kHeight = 180;
constexpr std::int32_t kNoIntegralHeight = 0x100;
static_assert(kNoIntegralHeight == LBS_NOINTEGRALHEIGHT);
constexpr std::int32_t kSilver = 0xC0C0C0;

// Each item starts with its number, which is what the menu answers.
constexpr const char* kItems[] = {
    "1 Tutto maiuscolo",
    "2 Tutto minuscolo",
    "3 Prima lettera maiuscolo",
    "4 Inserisco spazi a sinistra fino al cursore",
    "5 Tolgo tutti gli spazi a sinistra",
    "6 Raccorcio gli spazi",
    "7 Inserisco la data",
    "8 Inserisco l'ora",
    "9 Alfabetizzo dal cursore",
};

// A message number that nothing sends: a look at the queue for it lets the window system's
// news in without taking any message out, and without calling the keyboard hook.
constexpr UINT kNoMessage = WM_APP + 0x3FFF;

// The owner takes the keyboard again once the menu has gone. A key that ends the menu as
// soon as it shows (F1 then Esc at once) is read before the X server has moved its focus
// to the menu; the news of that move, handled after the menu has gone, tells Wine that
// the owner has lost the keyboard to another program, and every later key would be lost
// until a click. The news is taken in now, and the owner made the foreground again.
void GiveKeyboardBack(HWND owner) noexcept {
    if (owner == nullptr || !IsWindow(owner)) {
        return;
    }
    MSG news{};
    PeekMessageA(&news, nullptr, kNoMessage, kNoMessage, PM_NOREMOVE);
    if (GetForegroundWindow() != owner) {
        SetForegroundWindow(owner);
    }
}

} // namespace

std::int32_t ShowCommandMenu(WindowHandle editor) noexcept {
    // The list takes the strings up to the first empty one.
    StringArray items;
    ArrayRedim(items, 0, 20);
    std::int32_t index = 0;
    for (const char* item : kItems) {
        items.Set(index++, DynString(item));
    }

    SetDialogFont("arial", 10);
    // Owned by the editor window, which the modal run disables: the editor cannot end
    // while its menu runs.
    HWND owner = IsWindow(editor) ? editor : nullptr;
    HWND menu = NewDialog(owner, "Help", kCentred, kCentred, kWidth, kHeight,
                          static_cast<std::int32_t>(WS_POPUP), WS_EX_TOPMOST, kUnitsPixels);
    AddControl(menu, kKindListBox, kListId, "", 0, 0, kWidth, kHeight, kNoIntegralHeight, 0,
               nullptr, &items);
    SetControlColor(menu, kListId, kSilver, RgbColor(0, 0, 100));
    std::int32_t chosen = 0;
    ShowDialogModal(menu, MenuDialogCallback, &chosen);
    GiveKeyboardBack(owner);
    return chosen;
}

std::int32_t MenuDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        RemoveKeyboardHook();
        SelectListItem(window, kListId, 1);
    } else if (message == WM_DESTROY) {
        // The hook goes with the editor window; without it there is nothing to hand keys to.
        if (IsWindow(GetWindow(window, GW_OWNER))) {
            InstallKeyboardHook();
        }
    } else if (message == WM_COMMAND) {
        // Notifications of the list itself (id 120) change nothing.
        if (LOWORD(wParam) == IDOK) {
            EndDialogWith(window, RoundToInt32(NumberFromText(GetListText(window, kListId))));
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialogWith(window, 0);
        }
    }
    return 0;
}
