#include "canvas/Canvas.h"
#include "canvas/CanvasControl.h"
#include "canvas/CanvasState.h"
#include "dialogs/WindowRecord.h"
#include "tests/win/support/CanvasHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <vector>

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;

void PaintSquare(const CanvasHost& host) {
    PaintBehind(host, RECT{5, 5, 10, 10}, RGB(255, 0, 0));
}

// A dialog callback that destroys the dialog when its canvas paints, and then takes the
// freed canvas record's memory for a marked record with a live DC of its own: whatever a
// canvas operation still does to its record after the screen update shows in the mark.
struct FreedRecordWatch {
    static constexpr std::size_t kTries = 1000;
    WindowRecord* canvas = nullptr;
    WindowRecord* mark = nullptr;
    HDC markDc = CreateCompatibleDC(nullptr);
    std::vector<void*> taken;

    // Room for every block first: a growing vector would take the freed memory itself.
    FreedRecordWatch() { taken.reserve(kTries); }
    ~FreedRecordWatch() {
        for (void* block : taken) {
            std::free(block);
        }
        DeleteDC(markDc);
    }
    void TakeFreedMemory() {
        for (std::size_t i = 0; i < kTries && mark == nullptr; ++i) {
            taken.push_back(std::malloc(sizeof(WindowRecord)));
            if (taken.back() == canvas) {
                mark = new (taken.back()) WindowRecord{};
                CanvasOf(*mark).memoryDc = markDc;
                CanvasOf(*mark).x = CanvasOf(*mark).y = 7777;
            }
        }
    }
};

FreedRecordWatch* watch = nullptr;

std::int32_t DestroyOnPaint(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_DRAWITEM && watch != nullptr) {
        DestroyWindow(dialog);
        watch->TakeFreedMemory();
    }
    return 0;
}

// Runs a drawing operation on an auto-redraw canvas whose dialog the paint destroys.
void DrawWhileTheDialogGoes(const std::function<void()>& draw) {
    CanvasHost host(kWidth, kHeight);
    FreedRecordWatch freed;
    freed.canvas = host.Record();
    ASSERT_NE(freed.canvas, nullptr);
    FindWindowRecord(host.Window())->callback = DestroyOnPaint;
    host.Attach();
    watch = &freed;
    draw();
    watch = nullptr;
    EXPECT_FALSE(IsWindow(host.Window()));
    ASSERT_NE(freed.mark, nullptr) << "the freed record's memory was not handed out again";
    EXPECT_EQ(CanvasOf(*freed.mark).x, 7777);
    EXPECT_EQ(CanvasOf(*freed.mark).y, 7777);
}

} // namespace

TEST(CanvasControl, NewCanvasIsTheControlSizeInButtonFaceWithTheDefaultFont) {
    CanvasHost host(kWidth, kHeight);
    WindowRecord* record = host.Record();
    ASSERT_NE(record, nullptr);
    ASSERT_NE(CanvasOf(*record).memoryDc, nullptr);
    EXPECT_EQ(CanvasOf(*record).width, kWidth);
    EXPECT_EQ(CanvasOf(*record).height, kHeight);
    EXPECT_EQ(host.Backing(), PixelGrid(kWidth * kHeight, AsPixel(GetSysColor(COLOR_BTNFACE))));
    LOGFONTA font{};
    GetObjectA(GetCurrentObject(CanvasOf(*record).memoryDc, OBJ_FONT), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(font.lfHeight, -(GetDeviceCaps(CanvasOf(*record).memoryDc, LOGPIXELSY) * 8 / 72));
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_GT(CanvasOf(*record).charWidth, 0);
    EXPECT_GT(CanvasOf(*record).lineHeight, 0);
    EXPECT_EQ(GetTextAlign(CanvasOf(*record).memoryDc) & TA_UPDATECP,
              static_cast<UINT>(TA_UPDATECP));
}

TEST(CanvasControl, PaintCopiesTheWholeBitmapOnlyForDrawEntire) {
    CanvasHost host(kWidth, kHeight);
    WindowRecord* record = host.Record();
    ASSERT_NE(record, nullptr);
    PaintSquare(host);

    HDC target = CreateCompatibleDC(CanvasOf(*record).memoryDc);
    HBITMAP bitmap = CreateCompatibleBitmap(CanvasOf(*record).memoryDc, kWidth, kHeight);
    HGDIOBJ old = SelectObject(target, bitmap);
    RECT whole{0, 0, kWidth, kHeight};
    FillRect(target, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    PixelGrid black = ReadDcPixels(target, kWidth, kHeight);

    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_STATIC;
    item.CtlID = CanvasHost::kControlId;
    item.hwndItem = host.Control();
    item.hDC = target;
    item.rcItem = whole;
    item.itemAction = ODA_FOCUS;
    EXPECT_FALSE(CanvasPaint(host.Window(), item));
    EXPECT_EQ(ReadDcPixels(target, kWidth, kHeight), black);

    // The control named in the message paints: none, the dialog itself and another
    // dialog's canvas (of the same id) do not.
    CanvasHost other(kWidth, kHeight);
    item.itemAction = ODA_DRAWENTIRE;
    for (HWND notThis : {HWND{nullptr}, host.Window(), other.Control()}) {
        item.hwndItem = notThis;
        EXPECT_FALSE(CanvasPaint(host.Window(), item));
        EXPECT_EQ(ReadDcPixels(target, kWidth, kHeight), black);
    }

    item.hwndItem = host.Control();
    item.itemAction = ODA_DRAWENTIRE | ODA_FOCUS;
    EXPECT_TRUE(CanvasPaint(host.Window(), item));
    EXPECT_EQ(ReadDcPixels(target, kWidth, kHeight), host.Backing());

    SelectObject(target, old);
    DeleteObject(bitmap);
    DeleteDC(target);
}

TEST(CanvasControl, TheScreenShowsTheBitmapWhenTheControlPaints) {
    CanvasHost host(kWidth, kHeight);
    WindowRecord* record = host.Record();
    ASSERT_NE(record, nullptr);
    PaintSquare(host);
    InvalidateRect(host.Control(), nullptr, FALSE);
    UpdateWindow(host.Control());
    EXPECT_EQ(ReadScreenPixels(host.Control(), kWidth, kHeight), host.Backing());
}

TEST(CanvasControl, DestroyingTheDialogDeletesBitmapFontAndDc) {
    CanvasHost host(kWidth, kHeight);
    WindowRecord* record = host.Record();
    ASSERT_NE(record, nullptr);
    HDC memory = CanvasOf(*record).memoryDc;
    HGDIOBJ bitmap = GetCurrentObject(memory, OBJ_BITMAP);
    HGDIOBJ font = GetCurrentObject(memory, OBJ_FONT);
    ASSERT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));

    host.Destroy();
    EXPECT_EQ(host.Record(), nullptr);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
    EXPECT_EQ(GetObjectType(memory), 0u);
}

TEST(CanvasControl, ACallbackMayDestroyTheDialogWhileTheScreenIsUpdated) {
    DrawWhileTheDialogGoes([] { CanvasPrint("ab"); });
    DrawWhileTheDialogGoes([] { CanvasClear(0xFF, 0); });
}
