// The program's own editor window, as NewEditorWindow makes it and the program shows it.
#include "canvas/CanvasControl.h"
#include "canvas/CanvasState.h"
#include "dialogs/DialogEngine.h"
#include "dialogs/WindowRecord.h"
#include "editor/EditorWindow.h"
#include "editor/KeyProcessing.h"
#include "editor/ProgramState.h"
#include "tests/win/support/ScopedDialog.h"
#include "tests/win/support/ThreadTimers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct Shown {
    bool zoomed = false;
    bool topmost = false;
    RECT frame{};
    RECT canvasOnScreen{};
    RECT restoredFrame{};
    RECT restoredClient{};
};

Shown shown;

// Looks at the window once its modal run shows it, then ends the run.
std::int32_t LookAndEnd(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        PostMessageA(window, WM_APP, 0, 0);
    }
    if (message == WM_APP) {
        shown.zoomed = IsZoomed(window) != FALSE;
        shown.topmost = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        GetWindowRect(window, &shown.frame);
        GetWindowRect(GetDlgItem(window, kEditorCanvasId), &shown.canvasOnScreen);
        ShowWindow(window, SW_RESTORE);
        GetWindowRect(window, &shown.restoredFrame);
        GetClientRect(window, &shown.restoredClient);
        EndDialogWith(window, 0);
    }
    return 0;
}

} // namespace

TEST(NewEditorWindow, AHiddenTopmostToolWindowCaptionedEditorWithACanvasOverTheWorkArea) {
    ScopedDialog window(NewEditorWindow());
    ASSERT_NE(static_cast<HWND>(window), nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(WindowText(window), "Editor");
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & 0x588, 0x588);

    HWND canvas = GetDlgItem(window, kEditorCanvasId);
    ASSERT_NE(canvas, nullptr);
    const WindowRecord* record = FindWindowRecord(canvas);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->kind, kKindCanvas);
    const RECT work = WorkArea();
    EXPECT_EQ(ClientRect(canvas).right, work.right - work.left);
    EXPECT_EQ(ClientRect(canvas).bottom, work.bottom - work.top);
    EXPECT_EQ(CanvasOf(*record).width, work.right - work.left);
    EXPECT_EQ(CanvasOf(*record).height, work.bottom - work.top);
    // Hidden, it is already maximized where maximizing puts it: its client area starts at
    // the work area's left edge, under the title bar, and the borders lie outside the work
    // area.
    EXPECT_TRUE(IsZoomed(window));
    RECT frame{};
    GetWindowRect(window, &frame);
    POINT clientTopLeft{0, 0};
    ClientToScreen(window, &clientTopLeft);
    EXPECT_EQ(clientTopLeft.x, work.left);
    EXPECT_GT(clientTopLeft.y, work.top);
    EXPECT_EQ(frame.left + frame.right, work.left + work.right); // centred across
    EXPECT_EQ(frame.top - work.top, work.bottom - frame.bottom);

    // The first screen replaces the caption with the status line before the window shows.
    ArrayRedim(LineArray, 0, 1);
    editorDialog = window;
    std::int32_t scanCode = 0;
    DynString keyChar;
    ProcessEditorKey(scanCode, keyChar, LineArray, window, kEditorCanvasId, kEditorFontSize);
    EXPECT_EQ(WindowText(window).rfind("F1=menu", 0), 0u) << WindowText(window);

    HangGuard guard;
    ShowDialogModal(window, LookAndEnd, nullptr);
    EXPECT_FALSE(guard.Fired());
    ArrayErase(LineArray);
    EXPECT_TRUE(shown.zoomed);
    EXPECT_TRUE(shown.topmost);
    // Maximized over the work area; the canvas starts at the client area's top left.
    EXPECT_LE(shown.frame.left, work.left);
    EXPECT_LE(shown.frame.top, work.top);
    EXPECT_GE(shown.frame.right, work.right);
    EXPECT_GE(shown.frame.bottom, work.bottom);
    EXPECT_GE(shown.canvasOnScreen.left, work.left);
    EXPECT_GT(shown.canvasOnScreen.top, work.top); // below the title bar
    EXPECT_EQ(shown.canvasOnScreen.right - shown.canvasOnScreen.left, work.right - work.left);
    // Restored, it is the window of 100 x 100 pixels, centred, that it was made as; only
    // as wide as the platform lets a captioned window be.
    ScopedDialog plain(
        NewDialog(nullptr, "Editor", kCentred, kCentred, 100, 100, 0, 0x588, kUnitsPixels));
    RECT made{};
    GetWindowRect(plain, &made);
    EXPECT_EQ(shown.restoredFrame.left, made.left);
    EXPECT_EQ(shown.restoredFrame.top, made.top);
    EXPECT_EQ(shown.restoredFrame.bottom, made.bottom);
    EXPECT_EQ(shown.restoredFrame.right - shown.restoredFrame.left,
              std::max(made.right - made.left, static_cast<LONG>(GetSystemMetrics(SM_CXMINTRACK))));
    EXPECT_EQ(shown.restoredClient.bottom, 100);
}
