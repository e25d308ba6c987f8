#include "dialogs/CommandMenu.h"
#include "dialogs/DialogEngine.h"
#include "dialogs/KeyboardHook.h"
#include "editor/ProgramState.h"
#include "tests/win/fakes/RecordedKeys.h"
#include "tests/win/support/KeyInput.h"
#include "tests/win/support/ScopedDialog.h"
#include "tests/win/support/ThreadTimers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kListId = 120;

// Opens the menu, runs action once it is in front, and answers the menu's result. The
// menu leaves a keyboard hook behind, as it would for the editor; it is taken away here.
std::int32_t RunMenu(std::function<void(HWND menu)> action) {
    HangGuard guard;
    WhenForeground("Help", [action] { action(GetForegroundWindow()); });
    const std::int32_t chosen = ShowCommandMenu(nullptr);
    RemoveKeyboardHook();
    EXPECT_FALSE(guard.Fired());
    return chosen;
}

std::int32_t RunMenuWithKeys(KeyInput keys) {
    return RunMenu([keys](HWND) { keys.Send(); });
}

KeyInput Downs(int count) {
    KeyInput keys;
    for (int i = 0; i < count; ++i) {
        keys.Tap(VK_DOWN, true);
    }
    return keys;
}

void AddMouse(std::vector<INPUT>& inputs, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    inputs.push_back(input);
}

// Double-clicks the middle of a list item.
void DoubleClickItem(HWND list, int item) {
    RECT area{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&area));
    POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    ClientToScreen(list, &middle);
    SetCursorPos(middle.x, middle.y);
    std::vector<INPUT> inputs;
    for (int click = 0; click < 2; ++click) {
        AddMouse(inputs, MOUSEEVENTF_LEFTDOWN);
        AddMouse(inputs, MOUSEEVENTF_LEFTUP);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace

TEST(CommandMenu, EnterAtOnceGivesTheFirstItem) {
    HWND seen = nullptr;
    std::int32_t itemCount = 0;
    const std::int32_t chosen = RunMenu([&](HWND menu) {
        seen = menu;
        itemCount =
            static_cast<std::int32_t>(SendDlgItemMessageA(menu, kListId, LB_GETCOUNT, 0, 0));
        KeyInput().Tap(VK_RETURN).Send();
    });
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(itemCount, 9);
    EXPECT_FALSE(IsWindow(seen));
}

TEST(CommandMenu, TheWindowIsABorderlessTopmostListInArial) {
    RunMenu([](HWND menu) {
        EXPECT_EQ(WindowText(menu), "Help");
        EXPECT_EQ(ClientRect(menu).right, 260);
        EXPECT_EQ(ClientRect(menu).bottom, 180);
        EXPECT_EQ(WindowRect(menu).right - WindowRect(menu).left, 260); // no frame
        EXPECT_EQ(GetWindowLongA(menu, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | WS_BORDER), 0);
        EXPECT_NE(GetWindowLongA(menu, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
        HWND list = GetDlgItem(menu, kListId);
        EXPECT_EQ(GetFocus(), list);
        EXPECT_EQ(ClientRect(list).right, 260);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
        EXPECT_STREQ(FontOf(menu).lfFaceName, "arial");
        KeyInput().Tap(VK_ESCAPE).Send();
    });
    // The font stays for the thread's later dialogs.
    ScopedDialog later(NewDialog(nullptr, "Later", 10, 10, 100, 50, 0, 0, kUnitsPixels));
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_STREQ(FontOf(later).lfFaceName, "arial");
    EXPECT_EQ(FontOf(later).lfHeight, -MulDiv(10, dpi, 72));
}

TEST(CommandMenu, TheArrowKeysChooseTheItem) {
    EXPECT_EQ(RunMenuWithKeys(Downs(4).Tap(VK_RETURN)), 5);
    EXPECT_EQ(RunMenuWithKeys(Downs(8).Tap(VK_RETURN)), 9);
    EXPECT_EQ(RunMenuWithKeys(Downs(12).Tap(VK_RETURN)), 9);
}

TEST(CommandMenu, EscGivesZeroWhateverIsSelected) {
    EXPECT_EQ(RunMenuWithKeys(Downs(3).Tap(VK_ESCAPE)), 0);
}

TEST(CommandMenu, ADoubleClickOnlySelects) {
    const std::int32_t chosen = RunMenu([](HWND menu) {
        DoubleClickItem(GetDlgItem(menu, kListId), 2);
        // Had the double click ended the menu, these keys would find no menu.
        KeyInput().Tap(VK_DOWN, true).Tap(VK_RETURN).Send();
    });
    EXPECT_EQ(chosen, 4);
}

TEST(CommandMenu, OpenedFromTheEditorsHookKeepsItsKeysAndHandsTheHookBack) {
    StartRecordingKeys();
    std::int32_t chosen = -1;
    afterRecordedKey = [&chosen](const RecordedKey& key) {
        if (key.scanCode != 59) {
            return;
        }
        WhenForeground("Help", [] { Downs(1).Tap(VK_RETURN).Send(); });
        chosen = ShowCommandMenu(editorDialog);
        // The editor window's own Esc ends the run, through the hook the menu put back.
        KeyInput().Tap('A').Tap(VK_ESCAPE).Send();
    };
    HWND editor = NewDialog(nullptr, "Editor", kCentred, kCentred, 200, 100, WS_POPUP | WS_CAPTION,
                            0, kUnitsPixels);
    editorDialog = editor;
    HangGuard guard;
    ShowDialogModal(
        editor,
        [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> std::int32_t {
            if (message == WM_INITDIALOG) {
                PostMessageA(window, WM_APP, 0, 0);
            }
            if (message == WM_APP) {
                KeyInput().Tap(VK_F1).Send();
            }
            return EditorDialogCallback(window, message, wParam, lParam);
        },
        nullptr);
    afterRecordedKey = nullptr;
    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(recordedKeys,
              (std::vector<RecordedKey>{{59, std::string(1, '\0')}, {30, "a"}, {1, "\x1b"}}));
}

TEST(CommandMenu, WithoutAnEditorWindowPutsNoHookBack) {
    editorDialog = nullptr;
    StartRecordingKeys();
    HangGuard guard;
    WhenForeground("Help", [] { KeyInput().Tap(VK_ESCAPE).Send(); });
    EXPECT_EQ(ShowCommandMenu(editorDialog), 0);
    // Keys in a later window of the thread reach no editor.
    HWND later = NewDialog(nullptr, "Later", kCentred, kCentred, 200, 100, WS_POPUP | WS_CAPTION, 0,
                           kUnitsPixels);
    WhenForeground("Later", [] { KeyInput().Tap('A').Tap(VK_ESCAPE).Send(); });
    ShowDialogModal(
        later,
        [](HWND window, UINT message, WPARAM wParam, LPARAM) -> std::int32_t {
            if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
                EndDialogWith(window, 0);
            }
            return 0;
        },
        nullptr);
    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(recordedKeys, std::vector<RecordedKey>{});
}
