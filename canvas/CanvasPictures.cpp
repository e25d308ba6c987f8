#include "canvas/BitmapFileCheck.h"
#include "canvas/Canvas.h"
#include "canvas/CurrentCanvas.h"
#include "canvas/GdiHandles.h"
#include "canvas/PixelString.h"
#include "dialogs/WindowRecord.h"
#include "runtime/NumberText.h"
#include "runtime/ErrorNumber.h"

#include <memory>
#include <new>

namespace {

// The description of a snapshot's pixels: a top-down 32-bit BI_RGB bitmap.
BITMAPINFO SnapshotDescription(std::int32_t width, std::int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const char* path) noexcept
        : handle_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ReadOnlyFile() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    HANDLE Get() const noexcept { return handle_; }

  private:
    HANDLE handle_;
};

// Reads the headers (and a run-length stream) of a picture file before the loader, which
// trusts them, gets it.
bool PictureFileLooksSound(const char* path) {
    ReadOnlyFile file(path);
    LARGE_INTEGER size{};
    if (file.Get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.Get(), &size))
        return false;
    char head[kBitmapHeadSize];
    DWORD got = 0;
    if (!ReadFile(file.Get(), head, sizeof head, &got, nullptr))
        return false;
    BitmapLayout layout{};
    if (!ReadBitmapLayout(std::string_view(head, got), static_cast<std::uint64_t>(size.QuadPart),
                          layout))
        return false;
    if (layout.runLengthBits == 0)
        return true;
    std::unique_ptr<char[]> stream(new (std::nothrow) char[layout.pixelBytes]);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(layout.pixelsAt);
    if (stream == nullptr || !SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) ||
        !ReadFile(file.Get(), stream.get(), layout.pixelBytes, &got, nullptr))
        return false;
    return RunLengthPixelsLookSound(std::string_view(stream.get(), got), layout);
}

// The picture scaled to width x height: a bitmap resource of that name when the name has
// no dot, else (or when there is no such resource) the file of that name.
HBITMAP LoadPicture(const DynString& name, int width, int height) {
    std::string_view text = name.View();
    // A NUL inside the name would make the system read a different, shorter name.
    if (text.empty() || text.find('\0') != std::string_view::npos)
        return nullptr;
    HINSTANCE program = GetModuleHandleA(nullptr);
    if (text.find('.') == std::string_view::npos) {
        if (HANDLE resource = LoadImageA(program, name.Bytes(), IMAGE_BITMAP, width, height, 0))
            return static_cast<HBITMAP>(resource);
    }
    if (!PictureFileLooksSound(name.Bytes()))
        return nullptr;
    return static_cast<HBITMAP>(
        LoadImageA(program, name.Bytes(), IMAGE_BITMAP, width, height, LR_LOADFROMFILE));
}

} // namespace

void CanvasDrawPicture(const DynString& name, double x1, double y1, double x2, double y2) noexcept {
    ScratchDc scratch(CreateCompatibleDC(nullptr));
    if (!scratch)
        return;
    WindowRecord* record = CurrentCanvas();
    if (record == nullptr)
        return;
    const std::int32_t left = RoundToInt32(x1);
    const std::int32_t top = RoundToInt32(y1);
    // Both corners belong to the rectangle.
    const std::int64_t width = std::int64_t{RoundToInt32(x2)} - left + 1;
    const std::int64_t height = std::int64_t{RoundToInt32(y2)} - top + 1;
    // An empty or reversed rectangle has nothing to fill (a zero size would have the
    // picture loaded at its own size), and a huge one is no picture that can be made.
    if (width < 1 || height < 1)
        return;
    const auto columns = static_cast<std::uint64_t>(width);
    const auto rows = static_cast<std::uint64_t>(height);
    if (columns > kMaxBitmapPixels || rows > kMaxBitmapPixels || columns * rows > kMaxBitmapPixels)
        return;
    GdiObject<HBITMAP> picture(
        LoadPicture(name, static_cast<int>(width), static_cast<int>(height)));
    if (!picture)
        return;
    Selection selected(scratch.Get(), picture.Get());
    if (!selected.Succeeded())
        return;
    if (BitBlt(record->canvas.memoryDc, left, top, static_cast<int>(width),
               static_cast<int>(height), scratch.Get(), 0, 0, SRCCOPY))
        AutoRedraw(*record);
}

DynString CanvasGetPixels() noexcept {
    const WindowRecord* record = CurrentCanvas();
    if (record == nullptr)
        return {};
    const CanvasState& canvas = record->canvas;
    const std::uint32_t length = PixelStringLength(canvas.width, canvas.height);
    if (length == 0)
        return {};
    // A snapshot that cannot be had is answered with "" and reported to nobody.
    const ErrorNumber before = GetErrorNumber();
    DynString pixels = DynString::OfLength(length);
    if (pixels.Length() != length) {
        SetErrorNumber(before);
        return {};
    }
    auto* backing = static_cast<HBITMAP>(GetCurrentObject(canvas.memoryDc, OBJ_BITMAP));
    if (backing == nullptr)
        return {};
    WritePixelHeader(pixels.MutableBytes(), canvas.width, canvas.height);
    BITMAPINFO info = SnapshotDescription(canvas.width, canvas.height);
    int lines = 0;
    {
        // The bitmap is read while no DC holds it.
        Selection away(canvas.memoryDc, canvas.stockBitmap);
        lines = GetDIBits(canvas.memoryDc, backing, 0, static_cast<UINT>(canvas.height),
                          pixels.MutableBytes() + kPixelHeaderSize, &info, DIB_RGB_COLORS);
    }
    if (lines != canvas.height)
        return {};
    return pixels;
}

void CanvasSetPixels(const DynString& pixels) noexcept {
    SetCanvasPixels(pixels.View());
}

void SetCanvasPixels(std::string_view pixels) noexcept {
    const WindowRecord* record = CurrentCanvas();
    if (record == nullptr)
        return;
    const CanvasState& canvas = record->canvas;
    auto* backing = static_cast<HBITMAP>(GetCurrentObject(canvas.memoryDc, OBJ_BITMAP));
    if (backing == nullptr)
        return;
    // The header's own size counts, not the canvas's; it must not promise more pixels
    // than the string holds.
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (!ReadPixelHeader(pixels, width, height))
        return;
    BITMAPINFO info = SnapshotDescription(width, height);
    int lines = 0;
    {
        Selection away(canvas.memoryDc, canvas.stockBitmap);
        lines = SetDIBits(canvas.memoryDc, backing, 0, static_cast<UINT>(height),
                          pixels.data() + kPixelHeaderSize, &info, DIB_RGB_COLORS);
    }
    if (lines != 0)
        AutoRedraw(*record);
}
