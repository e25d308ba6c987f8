#include "tests/win/support/CanvasHost.h"

#include "canvas/Canvas.h"
#include "canvas/CanvasControl.h"
#include "canvas/CanvasState.h"
#include "canvas/PixelString.h"
#include "canvas/TopDownBitmapInfo.h"
#include "dialogs/DialogEngine.h"
#include "dialogs/WindowRecord.h"

#include <cstring>

CanvasHost::CanvasHost(int width, int height) : width_(width), height_(height) {
    RegisterCanvasControl();
    window_ = NewDialog(nullptr, "Canvas test", 0, 0, width, height, WS_POPUP, 0, kUnitsPixels);
    control_ = AddControl(window_, kKindCanvas, kControlId, "", 0, 0, width, height, 0, 0, nullptr,
                          nullptr);
    // Shown, so that the control paints; not run, so that the test keeps the thread.
    ShowWindow(window_, SW_SHOWNA);
    PumpMessages();
}

CanvasHost::~CanvasHost() {
    Destroy();
}

WindowRecord* CanvasHost::Record() const {
    return FindWindowRecord(control_);
}

void CanvasHost::Attach(std::int32_t option) const {
    CanvasAttach(window_, kControlId, option);
}

PixelGrid CanvasHost::Backing() const {
    WindowRecord* record = Record();
    if (record == nullptr) {
        return {};
    }
    DrawPendingClear(CanvasOf(*record));
    return ReadDcPixels(CanvasOf(*record).memoryDc, width_, height_);
}

PixelGrid CanvasHost::Screen() const {
    return ReadScreenPixels(control_, width_, height_);
}

void CanvasHost::Destroy() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    window_ = nullptr;
    PumpMessages();
}

PixelGrid FromSnapshot(const DynString& snapshot) {
    if (snapshot.Length() < kPixelHeaderSize) {
        return {};
    }
    PixelGrid pixels((snapshot.Length() - kPixelHeaderSize) / 4);
    std::memcpy(pixels.data(), snapshot.Bytes() + kPixelHeaderSize, pixels.size() * 4);
    for (std::uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

PixelGrid ReadDcPixels(HDC dc, int width, int height) {
    PixelGrid pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    HDC copy = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(copy, old);
    BITMAPINFO info = TopDownBitmapInfo(width, height);
    GetDIBits(copy, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(copy);
    for (std::uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

PixelGrid ReadScreenPixels(HWND control, int width, int height) {
    HDC dc = GetDC(control);
    PixelGrid pixels = ReadDcPixels(dc, width, height);
    ReleaseDC(control, dc);
    return pixels;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::uint32_t AsPixel(COLORREF colour) {
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

void PaintBehind(const CanvasHost& host, RECT area, COLORREF colour) {
    DrawPendingClear(CanvasOf(*host.Record()));
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(CanvasOf(*host.Record()).memoryDc, &area, brush);
    DeleteObject(brush);
}
