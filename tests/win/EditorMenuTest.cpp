// The command menu over a running editor window: the editor cannot be ended while its menu
// runs, and the keyboard hook is neither lost nor installed twice by the menu.
#include "dialogs/DialogEngine.h"
#include "tests/win/support/EditorWindow.h"
#include "tests/win/support/KeyInput.h"
#include "tests/win/support/ThreadTimers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct MenuRun {
    HWND editor = nullptr;
    int step = 0;
    bool editorEnabledDuringMenu = true;
};

MenuRun run;

void ClickAt(POINT point) {
    SetCursorPos(point.x, point.y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// F1 in the editor; in the menu, a click on the editor beside the menu and Alt+F4, as a
// user ending the editor would do; then whatever menu is left is cancelled, and the
// editor gets a letter and Esc.
void CALLBACK NextStep(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menu = FindWindowA(nullptr, "Help");
    HWND front = GetForegroundWindow();
    if (run.step == 0 && front == run.editor) {
        KeyInput().Tap(VK_F1).Send();
        run.step = 1;
    } else if (run.step == 1 && menu != nullptr && front == menu) {
        run.editorEnabledDuringMenu = IsWindowEnabled(run.editor) != FALSE;
        POINT besideTheMenu{10, 10};
        ClientToScreen(run.editor, &besideTheMenu);
        ClickAt(besideTheMenu);
        KeyInput().Press(VK_MENU).Tap(VK_F4).Release(VK_MENU).Send();
        run.step = 2;
    } else if (run.step == 2) {
        if (menu != nullptr) {
            EndDialogWith(menu, 0);
        }
        run.step = 3;
    } else if (run.step == 3 && menu == nullptr) {
        KillTimer(nullptr, timer);
        if (IsWindow(run.editor)) {
            KeyInput().Tap('A').Tap(VK_ESCAPE).Send();
        }
    }
}

// Types one letter into a new editor window once it is in front, and ends it with Esc.
std::vector<std::string> TypeIntoNewEditor() {
    EditorWindow editor(320, 240, {""});
    run.editor = editor.Window();
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR timer, DWORD) {
        if (GetForegroundWindow() != run.editor) {
            return;
        }
        KillTimer(nullptr, timer);
        KeyInput().Tap('B').Tap(VK_ESCAPE).Send();
    });
    editor.RunModal();
    return TextLines();
}

} // namespace

TEST(EditorMenu, TheEditorOutlivesItsMenuAndKeysReachItOnceAfterwards) {
    HangGuard guard;
    {
        EditorWindow editor(320, 240, {""});
        run.editor = editor.Window();
        SetTimer(nullptr, 0, 20, NextStep);
        editor.RunModal();
        EXPECT_FALSE(run.editorEnabledDuringMenu);
        EXPECT_EQ(TextLines(), std::vector<std::string>{"a"});
    }
    // The next editor run hands every key to the editor once: no hook was left behind.
    EXPECT_EQ(TypeIntoNewEditor(), std::vector<std::string>{"b"});
    EXPECT_FALSE(guard.Fired());
}
