#include "canvas/Canvas.h"
#include "canvas/CanvasState.h"
#include "dialogs/DialogEngine.h"
#include "runtime/ErrorNumber.h"
#include "tests/win/support/CanvasHost.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;

// Every drawing operation once, each of which would change pixels of a current canvas.
void DrawEverything() {
    CanvasSetBackColor(0x0000FF);
    CanvasClear(0x00FF00, 0);
    CanvasMoveTo(1, 1);
    CanvasPrint("Wm");
    CanvasLineTo(30, 25, 0xFF0000);
    CanvasDrawPicture("no-such-picture.bmp", 0, 0, 10, 10);
    CanvasSetPixels(CanvasGetPixels());
}

void ExpectNoCanvas() {
    double width = -1;
    double height = -1;
    CanvasGetSize(width, height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    CanvasGetVisibleSize(width, height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    CanvasGetCharSize(width, height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(CanvasGetPixels().Length(), 0u);
}

} // namespace

TEST(CanvasAttach, DrawingBeforeAnyAttachChangesNothing) {
    CanvasHost host(kWidth, kHeight);
    PixelGrid before = host.Backing();
    // A new thread has had no canvas yet.
    std::thread fresh([] {
        ClearErrorNumber();
        DrawEverything();
        ExpectNoCanvas();
        EXPECT_EQ(GetErrorNumber(), 0);
    });
    fresh.join();
    EXPECT_EQ(host.Backing(), before);
}

TEST(CanvasAttach, TheControlIdPicksTheCanvasOfADialog) {
    CanvasHost host(kWidth, kHeight);
    ClearErrorNumber();
    host.Attach();
    EXPECT_EQ(GetErrorNumber(), 0);
    double width = 0;
    double height = 0;
    CanvasGetSize(width, height);
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
    CanvasClear(0x00FF00, 0);
    EXPECT_EQ(host.Backing(), PixelGrid(kWidth * kHeight, 0x00FF00));
}

TEST(CanvasAttach, ControlsSharingAnIdLeaveTheChoiceToGetDlgItem) {
    CanvasHost host(kWidth, kHeight);
    // A later control under the canvas's id: GetDlgItem still gives the first one.
    AddControl(host.Window(), kKindButton, CanvasHost::kControlId, "x", 0, 0, 10, 10, 0, 0, nullptr,
               nullptr);
    ASSERT_EQ(GetDlgItem(host.Window(), CanvasHost::kControlId), host.Control());
    ClearErrorNumber();
    host.Attach();
    EXPECT_EQ(GetErrorNumber(), 0);
    CanvasClear(0x00FF00, 0);
    EXPECT_EQ(host.Backing(), PixelGrid(kWidth * kHeight, 0x00FF00));
}

TEST(CanvasAttach, OnlyThePartInsideTheDialogsClientAreaIsVisible) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    double width = 0;
    double height = 0;
    CanvasGetVisibleSize(width, height);
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);

    // A dialog 10 x 12 pixels smaller hides the canvas's right and bottom edges.
    RECT frame{};
    GetWindowRect(host.Window(), &frame);
    SetWindowPos(host.Window(), nullptr, 0, 0, frame.right - frame.left - 10,
                 frame.bottom - frame.top - 12, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CanvasGetVisibleSize(width, height);
    EXPECT_EQ(width, kWidth - 10);
    EXPECT_EQ(height, kHeight - 12);
    CanvasGetSize(width, height);
    EXPECT_EQ(height, kHeight);
}

TEST(CanvasAttach, TheCanvasControlItselfIsATarget) {
    CanvasHost host(kWidth, kHeight);
    ClearErrorNumber();
    CanvasAttach(host.Control(), 999, 0);
    EXPECT_EQ(GetErrorNumber(), 0);
    CanvasClear(0x00FF00, 0);
    EXPECT_EQ(host.Backing(), PixelGrid(kWidth * kHeight, 0x00FF00));
}

TEST(CanvasAttach, ANonCanvasTargetGives68AndLeavesNoCanvasCurrent) {
    CanvasHost host(kWidth, kHeight);
    CanvasHost other(kWidth, kHeight);
    AddControl(other.Window(), kKindButton, 7, "x", 0, 0, 10, 10, 0, 0, nullptr, nullptr);

    const struct {
        HWND window;
        std::int32_t id;
    } notCanvases[] = {
        {host.Window(), 111}, // no such control: the dialog itself
        {other.Window(), 7},  // a control of another kind
        {nullptr, 0},         // no window at all
    };
    for (const auto& target : notCanvases) {
        host.Attach();
        ClearErrorNumber();
        CanvasAttach(target.window, target.id, 0);
        EXPECT_EQ(GetErrorNumber(), Err::DeviceUnavailable);
        PixelGrid before = host.Backing();
        DrawEverything();
        ExpectNoCanvas();
        EXPECT_EQ(host.Backing(), before);
    }
}

TEST(CanvasAttach, DeferredRedrawWaitsForRedrawAndAutoRedrawDoesNot) {
    CanvasHost host(kWidth, kHeight);
    PixelGrid shown = host.Screen();
    ASSERT_EQ(shown, host.Backing());

    host.Attach(kCanvasDeferredRedraw);
    CanvasMoveTo(0, 5);
    CanvasLineTo(kWidth, 5, 0x0000FF);
    CanvasClear(0x00FF00, 3);
    CanvasMoveTo(0, 0);
    CanvasPrint("x");
    EXPECT_NE(host.Backing(), shown);
    EXPECT_EQ(host.Screen(), shown);
    CanvasRedraw();
    EXPECT_EQ(host.Screen(), host.Backing());

    // Attached again without the option, every drawing shows at once.
    host.Attach(0);
    CanvasMoveTo(0, 7);
    CanvasLineTo(kWidth, 7, 0xFF0000);
    EXPECT_EQ(host.Screen(), host.Backing());
    CanvasPrint("y");
    EXPECT_EQ(host.Screen(), host.Backing());
    CanvasClear(0x123456, 0);
    EXPECT_EQ(host.Screen(), host.Backing());
}

TEST(CanvasAttach, ACanvasWhoseDialogIsGoneIsNoCanvas) {
    PixelGrid before;
    {
        CanvasHost host(kWidth, kHeight);
        host.Attach();
        host.Destroy();
    }
    ClearErrorNumber();
    DrawEverything();
    ExpectNoCanvas();
    EXPECT_EQ(GetErrorNumber(), 0);
}
