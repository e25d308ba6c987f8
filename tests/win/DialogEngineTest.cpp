#include "dialogs/ControlServices.h"
#include "dialogs/DialogEngine.h"
#include "dialogs/WindowRecord.h"
#include "runtime/StringArray.h"
#include "tests/win/support/KeyInput.h"
#include "tests/win/support/ScopedDialog.h"
#include "tests/win/support/ThreadTimers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::int32_t kCaptionSysMenu = 0x00C80000;
constexpr UINT kAct = WM_APP;

HWND PixelDialog(const char* caption, std::int32_t x, std::int32_t y, std::int32_t width,
                 std::int32_t height, std::int32_t style = kCaptionSysMenu,
                 std::int32_t exStyle = 0) {
    return NewDialog(nullptr, caption, x, y, width, height, style, exStyle, kUnitsPixels);
}

// What a callback saw, and what it is to do when the test's own message kAct arrives.
struct Observed {
    struct Call {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool visible;
    };
    std::vector<Call> calls;
    std::function<void(HWND)> act;
};
Observed observed;

std::int32_t ObservingCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    observed.calls.push_back({message, wParam, lParam, IsWindowVisible(window) != FALSE});
    if (message == WM_INITDIALOG) {
        PostMessageA(window, kAct, 0, 0);
    }
    if (message == kAct && observed.act) {
        observed.act(window);
    }
    return 0;
}

std::vector<UINT> Messages() {
    std::vector<UINT> messages;
    for (const Observed::Call& call : observed.calls) {
        messages.push_back(call.message);
    }
    return messages;
}

// Runs a dialog modally with the observing callback; act runs once the loop has started.
std::int32_t RunObserved(HWND dialog, std::function<void(HWND)> act, std::int32_t initial = -99) {
    observed = Observed{};
    observed.act = std::move(act);
    std::int32_t result = initial;
    HangGuard guard;
    ShowDialogModal(dialog, ObservingCallback, &result);
    EXPECT_FALSE(guard.Fired());
    EXPECT_FALSE(IsWindow(dialog));
    return result;
}

} // namespace

TEST(NewDialog, PixelModeGivesTheExactClientSizeCentredInTheWorkArea) {
    ScopedDialog dialog(PixelDialog("Test", kCentred, kCentred, 400, 100));
    ASSERT_NE(dialog, nullptr);
    RECT client = ClientRect(dialog);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 100);
    RECT window = WindowRect(dialog);
    RECT work = WorkArea();
    EXPECT_EQ(window.left, (work.left + work.right - (window.right - window.left)) / 2);
    EXPECT_EQ(window.top, (work.top + work.bottom - (window.bottom - window.top)) / 2);
    EXPECT_FALSE(IsWindowVisible(dialog));
}

TEST(NewDialog, AnExplicitPositionIsInScreenPixels) {
    ScopedDialog dialog(PixelDialog("Test", 50, 60, 200, 80));
    RECT window = WindowRect(dialog);
    EXPECT_EQ(window.left, 50);
    EXPECT_EQ(window.top, 60);
    EXPECT_EQ(ClientRect(dialog).right, 200);
}

TEST(NewDialog, ADialogWiderThanTheWorkAreaOverhangsBothSidesAlike) {
    RECT work = WorkArea();
    ScopedDialog dialog(PixelDialog("Wide", kCentred, kCentred, work.right - work.left + 40, 100));
    RECT window = WindowRect(dialog);
    const LONG width = window.right - window.left;
    ASSERT_GT(width, work.right - work.left);
    EXPECT_LT(window.left, work.left);
    EXPECT_EQ(window.left, (work.left + work.right - width) / 2);
}

TEST(NewDialog, StyleRules) {
    // Style 0: a captioned pop-up with a modal frame and no system menu.
    ScopedDialog plain(PixelDialog("Plain", 10, 10, 100, 50, 0));
    const auto style = static_cast<DWORD>(GetWindowLongA(plain, GWL_STYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION), static_cast<DWORD>(WS_POPUP | WS_CAPTION));
    EXPECT_EQ(style & WS_SYSMENU, 0u);
    EXPECT_NE(GetWindowLongA(plain, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);

    // Visible and system-modal are taken away; the extended style is kept.
    ScopedDialog visible(
        PixelDialog("Visible", 10, 10, 100, 50, WS_POPUP | WS_CAPTION | WS_VISIBLE, WS_EX_TOPMOST));
    EXPECT_FALSE(IsWindowVisible(visible));
    EXPECT_NE(GetWindowLongA(visible, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    // The dialog manager would make a system-modal dialog topmost.
    ScopedDialog systemModal(
        PixelDialog("System-modal", 10, 10, 100, 50, WS_POPUP | WS_CAPTION | DS_SYSMODAL));
    EXPECT_EQ(GetWindowLongA(systemModal, GWL_STYLE) & DS_SYSMODAL, 0);
    EXPECT_EQ(GetWindowLongA(systemModal, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST(NewDialog, CaptionIsCutTo256CharactersAndAnEmptyOneIsASpace) {
    const std::string longCaption = std::string(100, 'a') + std::string(200, 'b');
    ScopedDialog cut(PixelDialog(longCaption.c_str(), 10, 10, 100, 50));
    EXPECT_EQ(WindowText(cut), longCaption.substr(0, 256));

    ScopedDialog empty(PixelDialog("", 10, 10, 100, 50));
    EXPECT_EQ(WindowText(empty), " ");

    // Bytes are characters of the same value, whatever the code page.
    ScopedDialog accented(PixelDialog("Citt\xE0", 10, 10, 100, 50));
    EXPECT_EQ(WindowText(accented), "Citt\xE0");
}

TEST(NewDialog, TakesTheThreadsDefaultFont) {
    const std::string face40 = "Abcdefghij" + std::string(30, 'x');
    SetDialogFont(face40.c_str(), 266);
    ScopedDialog longFace(PixelDialog("Font", 10, 10, 100, 50));
    SetDialogFont("arial", 12);
    ScopedDialog arial(PixelDialog("Font", 10, 10, 100, 50));
    SetDialogFont("MS Sans Serif", 8);

    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTA font = FontOf(longFace);
    EXPECT_EQ(std::string(font.lfFaceName), face40.substr(0, 31));
    EXPECT_EQ(font.lfHeight, -MulDiv(10, dpi, 72)); // 266 keeps its low 8 bits
    font = FontOf(arial);
    EXPECT_STREQ(font.lfFaceName, "arial");
    EXPECT_EQ(font.lfHeight, -MulDiv(12, dpi, 72));
}

TEST(AddControl, ListBoxStylesAndItemsUpToTheFirstEmptyString) {
    ScopedDialog dialog(PixelDialog("Lists", 10, 10, 300, 200));
    StringArray items;
    ArrayRedim(items, 0, 3);
    items[0] = "one";
    items[1] = "two";
    items[3] = "four";
    HWND menuList =
        AddControl(dialog, kKindListBox, 120, "", 0, 0, 100, 100, 0x100, 0, nullptr, &items);
    ASSERT_NE(menuList, nullptr);
    EXPECT_EQ(SendMessageA(menuList, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(menuList, GWL_STYLE)) & ~WS_CLIPSIBLINGS,
              0x50000101u);
    EXPECT_EQ(GetWindowLongA(menuList, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    RECT area = WindowRect(menuList);
    EXPECT_EQ(area.right - area.left, 100);

    // The default style trades the border for a sunken edge.
    HWND plainList =
        AddControl(dialog, kKindListBox, 121, "", 100, 0, 100, 100, 0, 0, nullptr, nullptr);
    const auto style = static_cast<DWORD>(GetWindowLongA(plainList, GWL_STYLE));
    EXPECT_EQ(style & WS_BORDER, 0u);
    EXPECT_NE(style & (LBS_SORT | WS_VSCROLL), 0u);
    EXPECT_NE(GetWindowLongA(plainList, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(SendMessageA(plainList, WM_GETFONT, 0, 0), SendMessageA(dialog, WM_GETFONT, 0, 0));
}

TEST(AddControl, ButtonsAndFailures) {
    ScopedDialog dialog(PixelDialog("Buttons", 10, 10, 300, 200));
    HWND plain =
        AddControl(dialog, kKindButton, 100, "Load file", 5, 5, 160, 20, 0, 0, nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(plain, GWL_STYLE)) & ~WS_CLIPSIBLINGS, 0x50010000u);
    EXPECT_EQ(WindowText(plain), "Load file");
    EXPECT_NE(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), 100);

    HWND preferred = AddControl(dialog, kKindButton, 101, "OK", 5, 30, 60, 20,
                                WS_TABSTOP | BS_DEFPUSHBUTTON, 0, nullptr, nullptr);
    EXPECT_NE(GetWindowLongA(preferred, GWL_STYLE) & WS_VISIBLE, 0);
    const LRESULT defId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    EXPECT_EQ(HIWORD(defId), DC_HASDEFID);
    EXPECT_EQ(LOWORD(defId), 101);

    EXPECT_EQ(AddControl(dialog, 2, 102, "", 0, 0, 10, 10, 0, 0, nullptr, nullptr), nullptr);
    EXPECT_EQ(
        AddControl(GetDesktopWindow(), kKindButton, 103, "", 0, 0, 10, 10, 0, 0, nullptr, nullptr),
        nullptr);
    // A control is no place for controls.
    EXPECT_EQ(AddControl(plain, kKindButton, 104, "", 0, 0, 10, 10, 0, 0, nullptr, nullptr),
              nullptr);
}

TEST(AddControl, DialogUnitsAreMappedToPixels) {
    ScopedDialog dialog(NewDialog(nullptr, "Units", 10, 10, 100, 50, 0, 0, 0));
    HWND button = AddControl(dialog, kKindButton, 100, "", 4, 8, 40, 16, 0, 0, nullptr, nullptr);
    RECT expected{4, 8, 44, 24};
    MapDialogRect(dialog, &expected);
    RECT actual = WindowRect(button);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.bottom, expected.bottom);
    EXPECT_NE(expected.right - expected.left, 40); // dialog units are no pixels
}

TEST(ShowDialogModal, CallbackSeesInitAndSizeWhileHiddenThenTheEnd) {
    HWND dialog = PixelDialog("Run", kCentred, kCentred, 400, 100);
    HWND button =
        AddControl(dialog, kKindButton, 100, "Load file", 5, 5, 160, 20, 0, 0, nullptr, nullptr);
    const std::int32_t result = RunObserved(dialog, [](HWND window) {
        EXPECT_TRUE(IsWindowVisible(window));
        EndDialogWith(window, 7);
    });
    EXPECT_EQ(result, 7);

    ASSERT_GE(observed.calls.size(), 2u);
    EXPECT_EQ(observed.calls[0].message, static_cast<UINT>(WM_INITDIALOG));
    EXPECT_EQ(observed.calls[0].wParam, reinterpret_cast<WPARAM>(dialog));
    EXPECT_FALSE(observed.calls[0].visible);
    EXPECT_EQ(observed.calls[1].message, static_cast<UINT>(WM_SIZE));
    EXPECT_EQ(observed.calls[1].wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(observed.calls[1].lParam, MAKELPARAM(400, 100));
    EXPECT_FALSE(observed.calls[1].visible);
    // The platform's own WM_INITDIALOG came before the callback was known, and WM_ACTIVATE
    // never reaches it.
    std::vector<UINT> messages = Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), static_cast<UINT>(WM_INITDIALOG)), 1);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), static_cast<UINT>(WM_ACTIVATE)), 0);
    auto close = std::find(messages.begin(), messages.end(), static_cast<UINT>(WM_CLOSE));
    auto destroy = std::find(messages.begin(), messages.end(), static_cast<UINT>(WM_DESTROY));
    EXPECT_LT(close, destroy);
    EXPECT_LT(destroy, messages.end());
    EXPECT_EQ(messages.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_EQ(std::count(messages.begin(), messages.end(), static_cast<UINT>(WM_CLOSE)), 1);

    EXPECT_EQ(FindWindowRecord(dialog), nullptr);
    EXPECT_EQ(FindWindowRecord(button), nullptr);
}

TEST(ShowDialogModal, AMaximisedDialogIsToldSoAndCoversTheWorkArea) {
    HWND dialog = PixelDialog("Editor", kCentred, kCentred, 100, 100, WS_MAXIMIZE, 0x588);
    bool zoomed = false;
    RECT frame{};
    RunObserved(dialog, [&](HWND window) {
        zoomed = IsZoomed(window) != FALSE;
        GetWindowRect(window, &frame);
        EndDialogWith(window, 0);
    });
    ASSERT_GE(observed.calls.size(), 2u);
    EXPECT_EQ(observed.calls[1].wParam, static_cast<WPARAM>(SIZE_MAXIMIZED));
    EXPECT_TRUE(zoomed);
    // The whole work area, not the placed 100 x 100 pixels grown from where they were.
    const RECT work = WorkArea();
    EXPECT_LE(frame.left, work.left);
    EXPECT_LE(frame.top, work.top);
    EXPECT_GE(frame.right, work.right);
    EXPECT_GE(frame.bottom, work.bottom);
}

TEST(ShowDialogModal, AltF4EndsWithZero) {
    HWND dialog = PixelDialog("Closing", kCentred, kCentred, 200, 100);
    const std::int32_t result = RunObserved(
        dialog, [](HWND) { KeyInput().Press(VK_MENU).Tap(VK_F4).Release(VK_MENU).Send(); });
    EXPECT_EQ(result, 0);
    std::vector<UINT> messages = Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), static_cast<UINT>(WM_SYSCOMMAND)),
              messages.end());
}

TEST(ShowDialogModal, RunsNestInsideACallback) {
    HWND outer = PixelDialog("Outer", kCentred, kCentred, 300, 100);
    std::int32_t innerResult = -1;
    bool outerAliveAfterInner = false;
    const std::int32_t outerResult = RunObserved(outer, [&](HWND window) {
        HWND inner = PixelDialog("Inner", kCentred, kCentred, 100, 50);
        // The inner dialog is ended from a thread timer served by its own loop.
        WhenForeground("Inner", [inner] { EndDialogWith(inner, 3); });
        ShowDialogModal(inner, nullptr, &innerResult);
        outerAliveAfterInner = IsWindow(window) != FALSE;
        EndDialogWith(window, 4);
    });
    EXPECT_EQ(innerResult, 3);
    EXPECT_TRUE(outerAliveAfterInner);
    EXPECT_EQ(outerResult, 4);
}

TEST(ShowDialogModal, AnOwnerIsDisabledWhileTheDialogRuns) {
    ScopedDialog owner(PixelDialog("Owner", 10, 10, 100, 50));
    HWND dialog =
        NewDialog(owner, "Owned", kCentred, kCentred, 100, 50, kCaptionSysMenu, 0, kUnitsPixels);
    bool ownerEnabled = true;
    RunObserved(dialog, [&](HWND window) {
        ownerEnabled = IsWindowEnabled(owner) != FALSE;
        EndDialogWith(window, 1);
    });
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST(ShowDialogModal, AControlsOwnCallbackSeesItsCommands) {
    static HWND seenBy = nullptr;
    static WORD seenId = 0;
    HWND dialog = PixelDialog("Buttons", kCentred, kCentred, 200, 100);
    HWND button = AddControl(
        dialog, kKindButton, 105, "Press", 5, 5, 80, 20, 0, 0,
        [](HWND window, UINT message, WPARAM wParam, LPARAM) -> std::int32_t {
            if (message == WM_COMMAND) {
                seenBy = window;
                seenId = LOWORD(wParam);
            }
            return 0;
        },
        nullptr);
    RunObserved(dialog, [button](HWND window) {
        SendMessageA(button, BM_CLICK, 0, 0);
        EndDialogWith(window, 0);
    });
    EXPECT_EQ(seenBy, button);
    EXPECT_EQ(seenId, 105);
    // The dialog's callback still sees the command.
    std::vector<UINT> messages = Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), static_cast<UINT>(WM_COMMAND)),
              messages.end());
}

TEST(ShowDialogModal, WithoutARecordReturnsAtOnce) {
    // A window the engine did not make. Were a run to start, the guard would end it by
    // destroying the window, and the test would fail rather than hang.
    HWND stranger = CreateWindowExA(0, "STATIC", "Stranger", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
    ASSERT_NE(stranger, nullptr);
    observed = Observed{};
    std::int32_t result = 5;
    {
        HangGuard guard;
        ShowDialogModal(stranger, ObservingCallback, &result);
        EXPECT_FALSE(guard.Fired());
    }
    EXPECT_TRUE(observed.calls.empty());
    EXPECT_EQ(result, 5);
    DestroyWindow(stranger);
}
