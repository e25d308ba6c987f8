#include "canvas/PictureFile.h"

#include "canvas/GdiHandles.h"

#include <cstring>
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

} // namespace

bool ReadPictureFile(const char* path, PictureFile& picture) noexcept {
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

HBITMAP StretchPictureFile(HDC dc, const PictureFile& file, const BitmapLayout& layout, int width,
                           int height) noexcept {
    std::unique_ptr<char[]> copy;
    const char* pixels = WholePixels(file, layout, copy);
    const PictureDescription description(file.View(), layout);
    ScratchDc scratch(CreateCompatibleDC(dc));
    GdiObject<HBITMAP> scaled(CreateCompatibleBitmap(dc, width, height));
    if (pixels == nullptr || !scratch || !scaled) {
        return nullptr;
    }
    {
        Selection selected(scratch.Get(), scaled.Get());
        if (!selected.Succeeded()) {
            return nullptr;
        }
        if (layout.bitCount > 1) {
            SetStretchBltMode(scratch.Get(), HALFTONE);
            SetBrushOrgEx(scratch.Get(), 0, 0, nullptr); // as halftoning asks
        }
        const int lines = StretchDIBits(
            scratch.Get(), 0, 0, width, height, 0, 0, static_cast<int>(layout.width),
            static_cast<int>(layout.rows), pixels, &description.info, DIB_RGB_COLORS, SRCCOPY);
        if (lines <= 0) { // GDI_ERROR is negative
            return nullptr;
        }
    }
    return scaled.Release();
}
