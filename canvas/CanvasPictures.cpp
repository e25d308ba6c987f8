#include "canvas/BitmapFileCheck.h"
#include "canvas/Canvas.h"
#include "canvas/CanvasState.h"
#include "canvas/CurrentCanvas.h"
#include "canvas/GdiHandles.h"
#include "canvas/PictureFile.h"
#include "canvas/PictureRectangle.h"
#include "canvas/PixelString.h"
#include "canvas/PreparedPicture.h"
#include "canvas/ScreenCopy.h"
#include "canvas/TopDownBitmapInfo.h"
#include "dialogs/WindowRecord.h"
#include "runtime/ErrorNumber.h"

#include <string_view>

namespace {

// Copies a loaded picture onto the DC through a scratch DC of its own.
bool DrawBitmap(HDC dc, HBITMAP picture, const PictureRectangle& rectangle) {
    ScratchDc scratch(CreateCompatibleDC(nullptr));
    if (!scratch) {
        return false;
    }
    Selection selected(scratch.Get(), picture);
    return selected.Succeeded() && BitBlt(dc, rectangle.left, rectangle.top, rectangle.width,
                                          rectangle.height, scratch.Get(), 0, 0, SRCCOPY);
}

// Draws a picture file scaled to the rectangle, scaled the way the platform scales a
// picture that it loads at a given size (StretchPictureFile), then copied; a picture
// prepared from the same bytes for the same size has been stretched already. False when
// the file cannot be read, is refused, or cannot be drawn.
bool DrawPictureFile(HDC dc, const char* path, const PictureRectangle& rectangle,
                     bool takesPrepared) {
    PictureFile file;
    BitmapLayout layout{};
    if (!ReadPictureFile(path, file) || !CheckBitmapFile(file.View(), layout)) {
        return false;
    }
    GdiObject<HBITMAP> prepared(
        takesPrepared ? TakePreparedPicture(path, file.View(), rectangle.width, rectangle.height)
                      : nullptr);
    GdiObject<HBITMAP> scaled(
        prepared ? prepared.Release()
                 : StretchPictureFile(dc, file, layout, rectangle.width, rectangle.height));
    return scaled && DrawBitmap(dc, scaled.Get(), rectangle);
}

} // namespace

void CanvasDrawPicture(const DynString& name, double x1, double y1, double x2, double y2) noexcept {
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr) {
        return;
    }
    PictureRectangle rectangle{};
    if (!FindPictureRectangle(name, x1, y1, x2, y2, rectangle)) {
        return;
    }
    // A name without a dot may be a bitmap resource of the program, loaded at the
    // rectangle's size; any other name, or a name that is no resource, is a file.
    DrawPendingClear(CanvasOf(*record));
    const HDC dc = CanvasOf(*record).memoryDc;
    const std::string_view text = name.View();
    GdiObject<HBITMAP> resource(
        text.find('.') != std::string_view::npos
            ? nullptr
            : static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name.Bytes(), IMAGE_BITMAP,
                                              rectangle.width, rectangle.height, 0)));
    // A prepared picture is compatible with the canvas's own kind of backing bitmap only.
    const bool drawn = resource ? DrawBitmap(dc, resource.Get(), rectangle)
                                : DrawPictureFile(dc, name.Bytes(), rectangle,
                                                  CanvasOf(*record).pixels != nullptr);
    if (drawn) {
        AutoRedraw(*record);
    }
}

DynString CanvasGetPixels() noexcept {
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr) {
        return {};
    }
    CanvasState& canvas = CanvasOf(*record);
    DrawPendingClear(canvas);
    const std::uint32_t length = PixelStringLength(canvas.width, canvas.height);
    if (length == 0) {
        return {};
    }
    // A snapshot that cannot be had is answered with "" and reported to nobody.
    const ErrorNumber before = GetErrorNumber();
    DynString pixels = DynString::OfLength(length);
    if (!MadeWhole(pixels, length)) {
        SetErrorNumber(before);
        return {};
    }
    auto* backing = static_cast<HBITMAP>(GetCurrentObject(canvas.memoryDc, OBJ_BITMAP));
    if (backing == nullptr) {
        return {};
    }
    WritePixelHeader(pixels.MutableBytes(), canvas.width, canvas.height);
    BITMAPINFO info = TopDownBitmapInfo(canvas.width, canvas.height);
    int lines = 0;
    {
        // The bitmap is read while no DC holds it.
        Selection away(canvas.memoryDc, canvas.stockBitmap);
        lines = GetDIBits(canvas.memoryDc, backing, 0, static_cast<UINT>(canvas.height),
                          pixels.MutableBytes() + kPixelHeaderSize, &info, DIB_RGB_COLORS);
    }
    if (lines != canvas.height) {
        return {};
    }
    return pixels;
}

void CanvasSetPixels(const DynString& pixels) noexcept {
    SetCanvasPixels(pixels.View());
}

void SetCanvasPixels(std::string_view pixels) noexcept {
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr) {
        return;
    }
    CanvasState& canvas = CanvasOf(*record);
    auto* backing = static_cast<HBITMAP>(GetCurrentObject(canvas.memoryDc, OBJ_BITMAP));
    if (backing == nullptr) {
        return;
    }
    // The header's own size counts, not the canvas's; it must not promise more pixels
    // than the string holds.
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (!ReadPixelHeader(pixels, width, height)) {
        return;
    }
    BITMAPINFO info = TopDownBitmapInfo(width, height);
    // A snapshot of the canvas's own size replaces a held clear; if it is not written
    // whole, the clear is drawn and the snapshot written over it, as if in that order.
    const bool covers = width == canvas.width && height == canvas.height;
    const auto write = [&] {
        if (covers && WriteSnapshotInPlace(canvas, pixels.data() + kPixelHeaderSize)) {
            return height;
        }
        Selection away(canvas.memoryDc, canvas.stockBitmap);
        const int lines = SetDIBits(canvas.memoryDc, backing, 0, static_cast<UINT>(height),
                                    pixels.data() + kPixelHeaderSize, &info, DIB_RGB_COLORS);
        NoteWritten(canvas, RECT{0, 0, width, height});
        return lines;
    };
    if (!covers) {
        DrawPendingClear(canvas);
    }
    int lines = write();
    if (canvas.clearPending) {
        if (lines == height) {
            canvas.clearPending = false;
        } else {
            DrawPendingClear(canvas);
            lines = write();
        }
    }
    if (lines != 0) {
        AutoRedraw(*record);
    }
}
