#include "canvas/BitmapFileCheck.h"
#include "canvas/Canvas.h"
#include "canvas/CanvasState.h"
#include "canvas/CurrentCanvas.h"
#include "canvas/GdiHandles.h"
#include "canvas/PixelString.h"
#include "canvas/ScreenCopy.h"
#include "canvas/TopDownBitmapInfo.h"
#include "dialogs/WindowRecord.h"
#include "runtime/NumberText.h"
#include "runtime/ErrorNumber.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const char* path) noexcept
        : handle_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ReadOnlyFile() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    HANDLE Get() const noexcept { return handle_; }

  private:
    HANDLE handle_;
};

// A picture file's bytes, read once: the same bytes are checked and drawn, whatever
// happens to the file meanwhile.
struct PictureFile {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;

    std::string_view View() const noexcept { return {bytes.get(), size}; }
};

bool ReadPictureFile(const char* path, PictureFile& picture) {
    ReadOnlyFile file(path);
    LARGE_INTEGER size{};
    if (file.Get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.Get(), &size) ||
        size.QuadPart <= 0 || static_cast<std::uint64_t>(size.QuadPart) > kMaxBitmapFileSize) {
        return false;
    }
    picture.size = static_cast<std::size_t>(size.QuadPart);
    picture.bytes.reset(new (std::nothrow) char[picture.size]);
    if (picture.bytes == nullptr) {
        return false;
    }
    for (std::size_t at = 0; at < picture.size;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), picture.bytes.get() + at, static_cast<DWORD>(picture.size - at),
                      &got, nullptr) ||
            got == 0) {
            return false;
        }
        at += got;
    }
    return true;
}

// The checked file's header and colour table, copied where the platform may read them as
// a BITMAPINFO. The counts are set to what was checked, so nothing past the table is read.
struct PictureDescription {
    union {
        BITMAPINFO info;
        char bytes[sizeof(BITMAPV5HEADER) + 256 * sizeof(RGBQUAD)];
    };

    explicit PictureDescription(std::string_view file, const BitmapLayout& layout) noexcept {
        const std::size_t length =
            layout.headerSize + layout.maskBytes + layout.colours * ColourEntrySize(layout);
        std::memcpy(bytes, file.data() + kBitmapFileHeaderSize, length);
        if (layout.headerSize >= sizeof(BITMAPINFOHEADER)) {
            info.bmiHeader.biClrUsed = layout.colours;
            info.bmiHeader.biSizeImage = static_cast<DWORD>(layout.pixelBytes);
        }
    }
};

// The picture's pixels as the platform reads them: the file's own bytes, or, where the
// last row ends early, a copy with zeros for the bytes missing; null without memory.
const char* WholePixels(const PictureFile& file, const BitmapLayout& layout,
                        std::unique_ptr<char[]>& copy) {
    const char* stored = file.bytes.get() + layout.pixelsAt;
    if (layout.storedBytes == layout.pixelBytes) {
        return stored;
    }
    copy.reset(new (std::nothrow) char[layout.pixelBytes]());
    if (copy != nullptr) {
        std::memcpy(copy.get(), stored, layout.storedBytes);
    }
    return copy.get();
}

// Draws a checked picture file scaled to the rectangle, scaled the way the platform scales
// a picture that it loads at a given size: stretched into a new bitmap of that size
// (black where a run-length picture leaves pixels out), with halftoning above 1 bit a
// pixel, then copied. False when the file cannot be read, is refused, or cannot be drawn.
bool DrawPictureFile(HDC dc, const char* path, int left, int top, int width, int height) {
    PictureFile file;
    BitmapLayout layout{};
    if (!ReadPictureFile(path, file) || !CheckBitmapFile(file.View(), layout)) {
        return false;
    }
    std::unique_ptr<char[]> copy;
    const char* pixels = WholePixels(file, layout, copy);
    const PictureDescription description(file.View(), layout);
    ScratchDc scratch(CreateCompatibleDC(dc));
    GdiObject<HBITMAP> scaled(CreateCompatibleBitmap(dc, width, height));
    if (pixels == nullptr || !scratch || !scaled) {
        return false;
    }
    Selection selected(scratch.Get(), scaled.Get());
    if (!selected.Succeeded()) {
        return false;
    }
    if (layout.bitCount > 1) {
        SetStretchBltMode(scratch.Get(), HALFTONE);
        SetBrushOrgEx(scratch.Get(), 0, 0, nullptr); // as halftoning asks
    }
    const int lines = StretchDIBits(scratch.Get(), 0, 0, width, height, 0, 0,
                                    static_cast<int>(layout.width), static_cast<int>(layout.rows),
                                    pixels, &description.info, DIB_RGB_COLORS, SRCCOPY);
    // GDI_ERROR is negative
    return lines > 0 && BitBlt(dc, left, top, width, height, scratch.Get(), 0, 0, SRCCOPY);
}

// Copies a loaded picture onto the DC through a scratch DC of its own.
bool DrawBitmap(HDC dc, HBITMAP picture, int left, int top, int width, int height) {
    ScratchDc scratch(CreateCompatibleDC(nullptr));
    if (!scratch) {
        return false;
    }
    Selection selected(scratch.Get(), picture);
    return selected.Succeeded() &&
           BitBlt(dc, left, top, width, height, scratch.Get(), 0, 0, SRCCOPY);
}

} // namespace

void CanvasDrawPicture(const DynString& name, double x1, double y1, double x2, double y2) noexcept {
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr) {
        return;
    }
    const std::int32_t left = RoundToInt32(x1);
    const std::int32_t top = RoundToInt32(y1);
    // Both corners belong to the rectangle.
    const std::int64_t width = std::int64_t{RoundToInt32(x2)} - left + 1;
    const std::int64_t height = std::int64_t{RoundToInt32(y2)} - top + 1;
    // An empty or reversed rectangle has nothing to fill, and a huge one is no picture
    // that can be made.
    if (width < 1 || height < 1) {
        return;
    }
    const auto wide = static_cast<std::uint64_t>(width);
    const auto high = static_cast<std::uint64_t>(height);
    if (wide > kMaxBitmapPixels || high > kMaxBitmapPixels || wide * high > kMaxBitmapPixels) {
        return;
    }
    std::string_view text = name.View();
    // A NUL inside the name would make the system read a different, shorter name.
    if (text.empty() || text.find('\0') != std::string_view::npos) {
        return;
    }
    // A name without a dot may be a bitmap resource of the program, loaded at the
    // rectangle's size; any other name, or a name that is no resource, is a file.
    DrawPendingClear(CanvasOf(*record));
    const HDC dc = CanvasOf(*record).memoryDc;
    const int columns = static_cast<int>(width);
    const int lines = static_cast<int>(height);
    GdiObject<HBITMAP> resource(
        text.find('.') != std::string_view::npos
            ? nullptr
            : static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name.Bytes(), IMAGE_BITMAP,
                                              columns, lines, 0)));
    const bool drawn = resource ? DrawBitmap(dc, resource.Get(), left, top, columns, lines)
                                : DrawPictureFile(dc, name.Bytes(), left, top, columns, lines);
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
