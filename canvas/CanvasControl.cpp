#include "canvas/CanvasControl.h"

#include "canvas/CanvasState.h"
#include "canvas/FontMetrics.h"
#include "canvas/GdiHandles.h"
#include "canvas/ScreenCopy.h"
#include "canvas/TopDownBitmapInfo.h"
#include "dialogs/ControlKinds.h"
#include "runtime/ThreadState.h"

namespace {

// A height in logical units that asks for a character height of that many points.
LONG PointsToFontHeight(HDC dc, int points) {
    return -(GetDeviceCaps(dc, LOGPIXELSY) * points / 72);
}

// Gives the memory DC the default font, colours, background mode and text alignment.
void SetDefaultDrawingState(WindowRecord& record) {
    CanvasState& canvas = CanvasOf(record);
    LOGFONTA font{};
    // The default dialog font itself, whatever font the thread's dialogs use now.
    font.lfHeight = PointsToFontHeight(canvas.memoryDc, kDefaultDialogPoints);
    font.lfWeight = FW_NORMAL;
    lstrcpynA(font.lfFaceName, kDefaultDialogFace, LF_FACESIZE);
    GdiObject<HFONT> made(CreateFontIndirectA(&font));
    HGDIOBJ previous = made ? SelectObject(canvas.memoryDc, made.Get()) : nullptr;
    if (previous != nullptr && previous != HGDI_ERROR) {
        made.Release(); // the DC holds it until release
        canvas.stockFont = static_cast<HFONT>(previous);
    }
    TakeFontMetrics(canvas);
    SetTextAlign(canvas.memoryDc, TA_UPDATECP);

    canvas.foreground = record.drawForeground;
    canvas.background = record.drawBackground;
    SetTextColor(canvas.memoryDc, static_cast<COLORREF>(canvas.foreground));
    SetBkColor(canvas.memoryDc, static_cast<COLORREF>(canvas.background));
    SetBkMode(canvas.memoryDc, OPAQUE);
}

// A bitmap for the screen's DC whose pixels the canvas reads in place, to find what changed;
// the platform's own kind of bitmap where that cannot be had, pixels then null.
HBITMAP MakeBackingBitmap(HDC screen, int width, int height, std::uint32_t*& pixels) {
    const BITMAPINFO info = TopDownBitmapInfo(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = width > 0 && height > 0
                         ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                         : nullptr;
    if (bitmap != nullptr && bits != nullptr) {
        pixels = static_cast<std::uint32_t*>(bits);
        return bitmap;
    }
    if (bitmap != nullptr) {
        DeleteObject(bitmap);
    }
    pixels = nullptr;
    return CreateCompatibleBitmap(screen, width, height);
}

} // namespace

void CanvasInitBacking(WindowRecord& record) noexcept {
    CanvasState& canvas = *new (record.kindState.bytes) CanvasState{};
    HDC screen = GetDC(record.window);
    if (screen == nullptr) {
        return;
    }
    RECT client{};
    GetClientRect(record.window, &client);
    ScratchDc memory(CreateCompatibleDC(screen));
    std::uint32_t* pixels = nullptr;
    GdiObject<HBITMAP> backing(
        memory ? MakeBackingBitmap(screen, client.right, client.bottom, pixels) : nullptr);
    ReleaseDC(record.window, screen);
    HGDIOBJ stock = backing ? SelectObject(memory.Get(), backing.Get()) : nullptr;
    // Without a bitmap of its own the canvas stays as if it had no DC: nothing draws.
    if (stock == nullptr) {
        return;
    }
    canvas.stockBitmap = static_cast<HBITMAP>(stock);
    backing.Release(); // the DC holds it until release
    canvas.memoryDc = memory.Release();
    canvas.width = client.right;
    canvas.height = client.bottom;
    canvas.pixels = pixels;
    RECT whole{0, 0, canvas.width, canvas.height};
    FillRect(canvas.memoryDc, &whole, GetSysColorBrush(COLOR_BTNFACE));
    SetDefaultDrawingState(record);
    TakeScreenCopy(canvas);
}

BOOL CanvasPaint(HWND dialog, const DRAWITEMSTRUCT& item) noexcept {
    if ((item.itemAction & ODA_DRAWENTIRE) == 0) {
        return FALSE;
    }
    // The control that asks is named in the message: looking it up by id would ask the
    // window server on every paint, and would find the first of two controls of one id.
    WindowRecord* record = FindWindowRecord(item.hwndItem);
    if (record == nullptr || record->parent != dialog || record->kind != kKindCanvas ||
        CanvasOf(*record).memoryDc == nullptr) {
        return FALSE;
    }
    CanvasState& canvas = CanvasOf(*record);
    DrawPendingClear(canvas);
    // The whole bitmap every time: the DC is clipped to what needs painting anyway, and
    // its clip is what reaches the screen.
    RECT clip{};
    const int region = GetClipBox(item.hDC, &clip);
    BitBlt(item.hDC, 0, 0, canvas.width, canvas.height, canvas.memoryDc, 0, 0, SRCCOPY);
    if (WindowFromDC(item.hDC) == record->window) {
        NoteSentArea(*record, region, clip);
    }
    return TRUE;
}

void CanvasReleaseBacking(WindowRecord& record) noexcept {
    CanvasState& canvas = CanvasOf(record);
    ReleaseScreenCopy(canvas);
    canvas.pixels = nullptr;
    if (canvas.memoryDc == nullptr) {
        return;
    }
    if (canvas.stockBitmap != nullptr) {
        DeleteObject(SelectObject(canvas.memoryDc, canvas.stockBitmap));
    }
    if (canvas.stockFont != nullptr) {
        DeleteObject(SelectObject(canvas.memoryDc, canvas.stockFont));
    }
    DeleteDC(canvas.memoryDc);
    canvas.memoryDc = nullptr;
    canvas.stockBitmap = nullptr;
    canvas.stockFont = nullptr;
}

void RegisterCanvasControl() noexcept {
    // WS_CHILD, WS_VISIBLE, SS_OWNERDRAW, whatever style is asked for.
    constexpr DWORD kCanvasStyle = 0x5000000D;
    static_assert(kCanvasStyle == (WS_CHILD | WS_VISIBLE | SS_OWNERDRAW));
    RegisterControlKind(kKindCanvas, {"STATIC", kCanvasStyle, kCanvasStyle, CanvasInitBacking,
                                      CanvasPaint, CanvasReleaseBacking});
}
