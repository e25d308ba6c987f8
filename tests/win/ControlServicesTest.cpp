#include "dialogs/ControlServices.h"
#include "dialogs/DialogEngine.h"
#include "runtime/ErrorNumber.h"
#include "runtime/StringArray.h"
#include "tests/win/support/RefuseHeap.h"
#include "tests/win/support/ScopedDialog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::int32_t kSilver = 0xC0C0C0;
constexpr std::int32_t kDarkBlue = 0x640000;

HWND TestDialog() {
    return NewDialog(nullptr, "Controls", 10, 10, 300, 200, 0x00C80000, 0, kUnitsPixels);
}

HWND AddList(HWND dialog, std::int32_t id, const StringArray* items = nullptr) {
    return AddControl(dialog, kKindListBox, id, "", 0, 0, 100, 100, 0x100, 0, nullptr, items);
}

// What the dialog answers when the platform asks for a control's colours, on a scratch DC
// that starts with red text on green.
struct ColourAnswer {
    HBRUSH brush;
    COLORREF text;
    COLORREF back;
    int backMode;
};

ColourAnswer AskColours(HWND dialog, HWND control, UINT message = WM_CTLCOLORLISTBOX) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(255, 0, 0));
    SetBkColor(dc, RGB(0, 255, 0));
    SetBkMode(dc, OPAQUE);
    ColourAnswer answer{};
    answer.brush = reinterpret_cast<HBRUSH>(SendMessageA(
        dialog, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    answer.text = GetTextColor(dc);
    answer.back = GetBkColor(dc);
    answer.backMode = GetBkMode(dc);
    DeleteDC(dc);
    return answer;
}

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH logBrush{};
    GetObjectA(brush, sizeof logBrush, &logBrush);
    return logBrush.lbColor;
}

bool IsBrush(HBRUSH brush) {
    return GetObjectType(brush) == OBJ_BRUSH;
}

StringArray& MenuItems() {
    static StringArray items;
    ArrayRedim(items, 0, 20);
    items[0] = "1 Tutto maiuscolo";
    items[1] = "2 Tutto minuscolo";
    items[2] = "3 Prima lettera maiuscolo";
    return items;
}

} // namespace

TEST(SetControlColor, ListGetsItsTextColourBackgroundAndBrush) {
    ScopedDialog dialog(TestDialog());
    HWND list = AddList(dialog, 120);
    SetControlColor(dialog, 120, kSilver, kDarkBlue);
    ColourAnswer answer = AskColours(dialog, list);
    EXPECT_EQ(answer.text, static_cast<COLORREF>(kSilver));
    EXPECT_EQ(answer.back, static_cast<COLORREF>(kDarkBlue));
    ASSERT_TRUE(IsBrush(answer.brush));
    EXPECT_EQ(BrushColour(answer.brush), static_cast<COLORREF>(kDarkBlue));

    // Colours above 24 bits are cut to them.
    SetControlColor(dialog, 120, 0x7F00FF00, 0x01000080);
    answer = AskColours(dialog, list);
    EXPECT_EQ(answer.text, RGB(0, 255, 0));
    EXPECT_EQ(BrushColour(answer.brush), RGB(0x80, 0, 0));
}

TEST(SetControlColor, SystemDefaultsAndTransparency) {
    ScopedDialog dialog(TestDialog());
    HWND list = AddList(dialog, 120);
    SetControlColor(dialog, 120, -5, -1);
    ColourAnswer answer = AskColours(dialog, list);
    EXPECT_EQ(answer.text, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(answer.back, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(answer.brush, GetSysColorBrush(COLOR_WINDOW));
    // The kind of message picks the system colours.
    answer = AskColours(dialog, list, WM_CTLCOLORBTN);
    EXPECT_EQ(answer.text, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(answer.brush, GetSysColorBrush(COLOR_BTNFACE));

    SetControlColor(dialog, 120, kSilver, -2);
    answer = AskColours(dialog, list);
    EXPECT_EQ(answer.backMode, TRANSPARENT);
    EXPECT_EQ(answer.brush, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
}

TEST(SetControlColor, ControlsNeverColouredKeepThePlatformDefaults) {
    ScopedDialog dialog(TestDialog());
    HWND list = AddList(dialog, 120);
    HWND other = AddList(dialog, 121);
    SetControlColor(dialog, 121, kSilver, kDarkBlue);
    ColourAnswer answer = AskColours(dialog, list);
    EXPECT_NE(answer.text, RGB(255, 0, 0));
    EXPECT_NE(answer.text, static_cast<COLORREF>(kSilver));
    EXPECT_NE(answer.brush, AskColours(dialog, other).brush);

    // Nothing happens for a missing control or a dialog of someone else's.
    SetControlColor(dialog, 999, kSilver, kDarkBlue);
    SetControlColor(GetDesktopWindow(), 120, kSilver, kDarkBlue);
    EXPECT_EQ(AskColours(dialog, list).text, answer.text);
}

TEST(SetControlColor, EqualBackgroundsShareOneBrushUntilTheLastGoes) {
    ScopedDialog first(TestDialog());
    ScopedDialog second(TestDialog());
    HWND a = AddList(first, 120);
    HWND b = AddList(first, 121);
    HWND c = AddList(second, 120);
    SetControlColor(first, 120, kSilver, kDarkBlue);
    SetControlColor(first, 121, 0, kDarkBlue);
    SetControlColor(second, 120, 0, kDarkBlue);
    HBRUSH shared = AskColours(first, a).brush;
    EXPECT_EQ(AskColours(first, b).brush, shared);
    EXPECT_EQ(AskColours(second, c).brush, shared);

    // Recolouring one leaves the brush to the others.
    SetControlColor(first, 120, kSilver, 0x00FF00);
    HBRUSH green = AskColours(first, a).brush;
    EXPECT_NE(green, shared);
    EXPECT_TRUE(IsBrush(shared));
    EXPECT_EQ(AskColours(first, b).brush, shared);

    // The first dialog goes: its green brush with it; the blue one lives on for c.
    DestroyWindow(first);
    EXPECT_FALSE(IsBrush(green));
    ASSERT_TRUE(IsBrush(shared));
    EXPECT_EQ(AskColours(second, c).brush, shared);

    // Recolouring the last user deletes it.
    SetControlColor(second, 120, 0, -1);
    EXPECT_FALSE(IsBrush(shared));
}

TEST(ListServices, SelectAndReadTheSelectedItem) {
    ScopedDialog dialog(TestDialog());
    AddList(dialog, 120, &MenuItems());
    EXPECT_EQ(std::string(GetListText(dialog, 120).View()), "");
    SelectListItem(dialog, 120, 1);
    EXPECT_EQ(SendMessageA(GetControlHandle(dialog, 120), LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(std::string(GetListText(dialog, 120).View()), "1 Tutto maiuscolo");
    SelectListItem(dialog, 120, 3);
    EXPECT_EQ(std::string(GetListText(dialog, 120).View()), "3 Prima lettera maiuscolo");
    EXPECT_EQ(std::string(GetListText(dialog, 121).View()), "");

    // Without memory for the item's text: the empty text and error 7, the program goes on.
    ClearErrorNumber();
    DynString text = "kept";
    {
        RefuseHeap refused;
        text = GetListText(dialog, 120);
    }
    EXPECT_EQ(std::string(text.View()), "");
    EXPECT_EQ(GetErrorNumber(), Err::OutOfMemory);
}

TEST(ControlHandle, FindsControlsById) {
    ScopedDialog dialog(TestDialog());
    HWND list = AddList(dialog, 120);
    EXPECT_EQ(GetControlHandle(dialog, 120), list);
    EXPECT_EQ(GetControlHandle(dialog, 121), nullptr);
    EXPECT_EQ(GetControlHandle(nullptr, 120), nullptr);

    // A child window that the engine did not make: the platform answers.
    HWND foreign = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, dialog,
                                   reinterpret_cast<HMENU>(130), nullptr, nullptr);
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(GetControlHandle(dialog, 130), foreign);
}

TEST(ControlUser, EightValuesNumberedModuloEight) {
    ScopedDialog dialog(TestDialog());
    HWND list = AddList(dialog, 120);
    for (std::int32_t n = 1; n <= 8; ++n) {
        EXPECT_EQ(GetControlUser(list, n), 0);
    }
    SetControlUser(list, 1, 11);
    SetControlUser(list, 4, -44);
    SetControlUser(list, 0, 88);
    EXPECT_EQ(GetControlUser(list, 9), 11);
    EXPECT_EQ(GetControlUser(list, 4), -44);
    EXPECT_EQ(GetControlUser(list, 8), 88);
    EXPECT_EQ(GetControlUser(list, -2147483647 - 1), 88);
    EXPECT_EQ(GetControlUser(list, 2), 0);

    // Windows that are no engine control have none.
    SetControlUser(GetDesktopWindow(), 1, 5);
    EXPECT_EQ(GetControlUser(GetDesktopWindow(), 1), 0);
    EXPECT_EQ(GetControlUser(nullptr, 1), 0);

    DestroyWindow(dialog);
    EXPECT_EQ(GetControlUser(list, 1), 0);
}

TEST(WindowCaption, SetsTheText) {
    ScopedDialog dialog(TestDialog());
    SetWindowCaption(dialog, "Riga 1 Colonna 1");
    EXPECT_EQ(WindowText(dialog), "Riga 1 Colonna 1");
    SetWindowCaption(dialog, "");
    EXPECT_EQ(WindowText(dialog), "");
}
