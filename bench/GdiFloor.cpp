#include "bench/GdiFloor.h"

#include "canvas/TopDownBitmapInfo.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr COLORREF kGuideGrey = 0xC0C0C0;
constexpr COLORREF kInsertRed = 0x0000FF;
constexpr COLORREF kOverwriteGrey = 0x808080;
constexpr std::int64_t kCursorCellReach = 1000;

} // namespace

GdiFloor::GdiFloor(HWND canvas, const DynString& background, std::int32_t points, std::int32_t rows,
                   std::int32_t columns) noexcept
    : canvas_(canvas), rows_(rows), columns_(columns) {
    RECT client{};
    GetClientRect(canvas, &client);
    width_ = client.right;
    height_ = client.bottom;
    HDC window = GetDC(canvas);
    if (window == nullptr) {
        return;
    }
    screen_ = CreateCompatibleDC(window);
    screenBitmap_ = CreateCompatibleBitmap(window, width_, height_);
    picture_ = CreateCompatibleDC(window);
    pictureBitmap_ = CreateCompatibleBitmap(window, width_, height_);
    ReleaseDC(canvas, window);
    if (screen_ == nullptr || screenBitmap_ == nullptr || picture_ == nullptr ||
        pictureBitmap_ == nullptr) {
        return;
    }
    screenStock_ = SelectObject(screen_, screenBitmap_);
    pictureStock_ = SelectObject(picture_, pictureBitmap_);
    std::int32_t size[2] = {};
    if (background.Length() >= sizeof size) {
        std::memcpy(size, background.Bytes(), sizeof size);
        if (size[0] == width_ && size[1] == height_ &&
            background.Length() == sizeof size + 4ull * width_ * height_) {
            const BITMAPINFO info = TopDownBitmapInfo(width_, height_);
            SetDIBits(picture_, pictureBitmap_, 0, static_cast<UINT>(height_),
                      background.Bytes() + sizeof size, &info, DIB_RGB_COLORS);
        }
    }
    font_ = CreateFontA(-(GetDeviceCaps(screen_, LOGPIXELSY) * points / 72), 0, 0, 0, FW_NORMAL, 0,
                        0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "courier new");
    fontStock_ = SelectObject(screen_, font_);
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen_, &metrics);
    cellWidth_ = metrics.tmAveCharWidth;
    cellHeight_ = metrics.tmHeight + metrics.tmExternalLeading;
    pen_ = CreatePen(PS_SOLID, 0, kGuideGrey);
    penStock_ = SelectObject(screen_, pen_);
    white_ = CreateSolidBrush(0xFFFFFF);
}

GdiFloor::~GdiFloor() {
    if (screen_ != nullptr) {
        if (screenStock_ != nullptr) {
            SelectObject(screen_, screenStock_);
        }
        if (fontStock_ != nullptr) {
            SelectObject(screen_, fontStock_);
        }
        if (penStock_ != nullptr) {
            SelectObject(screen_, penStock_);
        }
        DeleteDC(screen_);
    }
    if (picture_ != nullptr) {
        if (pictureStock_ != nullptr) {
            SelectObject(picture_, pictureStock_);
        }
        DeleteDC(picture_);
    }
    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(screenBitmap_), static_cast<HGDIOBJ>(pictureBitmap_),
          static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(pen_), static_cast<HGDIOBJ>(white_)}) {
        if (object != nullptr) {
            DeleteObject(object);
        }
    }
}

void GdiFloor::Draw(const StringArray& lines, const ViewState& view, bool insertMode) noexcept {
    if (!Ready() || cellWidth_ <= 0 || cellHeight_ <= 0) {
        return;
    }
    Fill();
    Picture();
    Rows(lines, view);
    Guides(view);
    CursorCell(lines, view, insertMode);
    Show();
}

void GdiFloor::Fill() noexcept {
    const RECT all{0, 0, width_, height_};
    FillRect(screen_, &all, white_);
}

void GdiFloor::Picture() noexcept {
    BitBlt(screen_, 0, 0, width_, height_, picture_, 0, 0, SRCCOPY);
}

void GdiFloor::Rows(const StringArray& lines, const ViewState& view) noexcept {
    if (cellWidth_ <= 0 || cellHeight_ <= 0) {
        return;
    }
    SetBkMode(screen_, TRANSPARENT);
    SetTextColor(screen_, 0);
    const std::int32_t last = std::min(view.topLine + rows_, lines.UpperBound());
    for (std::int32_t i = view.topLine; i <= last; ++i) {
        const DynString& line = lines[i];
        const std::int64_t skipped = std::int64_t{view.firstColumn} - 1;
        if (skipped >= line.Length()) {
            continue;
        }
        const auto shown =
            static_cast<int>(std::min<std::int64_t>(line.Length() - skipped, columns_));
        TextOutA(screen_, 0, (i - view.topLine) * cellHeight_, line.Bytes() + skipped, shown);
    }
}

void GdiFloor::Guides(const ViewState& view) noexcept {
    const int rowGuide = (view.cursorLine - view.topLine + 1) * cellHeight_;
    MoveToEx(screen_, 0, rowGuide, nullptr);
    LineTo(screen_, width_, rowGuide);
    const int columnGuide = (view.cursorScreenColumn - 1) * cellWidth_ - 1;
    MoveToEx(screen_, columnGuide, 0, nullptr);
    LineTo(screen_, columnGuide, height_);
}

void GdiFloor::CursorCell(const StringArray& lines, const ViewState& view,
                          bool insertMode) noexcept {
    // The byte under the cursor, a space up to 1000 columns beyond the line, else nothing.
    const DynString& cursorLine = lines[view.cursorLine];
    const std::int64_t column = TextColumn(view);
    if (column < 1 || column > std::int64_t{cursorLine.Length()} + kCursorCellReach) {
        return;
    }
    const char cell = column <= cursorLine.Length() ? cursorLine.Bytes()[column - 1] : ' ';
    SetBkMode(screen_, OPAQUE);
    SetBkColor(screen_, insertMode ? kInsertRed : kOverwriteGrey);
    SetTextColor(screen_, 0xFFFFFF);
    TextOutA(screen_, (view.cursorScreenColumn - 1) * cellWidth_,
             (view.cursorLine - view.topLine) * cellHeight_, &cell, 1);
}

void GdiFloor::Show() noexcept {
    HDC window = GetDC(canvas_);
    if (window == nullptr) {
        return;
    }
    BitBlt(window, 0, 0, width_, height_, screen_, 0, 0, SRCCOPY);
    ReleaseDC(canvas_, window);
}

DynString GdiFloor::Pixels() const noexcept {
    if (!Ready()) {
        return DynString();
    }
    const std::uint32_t bytes = 4u * static_cast<std::uint32_t>(width_ * height_);
    DynString pixels = DynString::OfLength(8 + bytes);
    if (pixels.Length() != 8 + bytes) {
        return DynString();
    }
    const std::int32_t size[2] = {width_, height_};
    std::memcpy(pixels.MutableBytes(), size, sizeof size);
    BITMAPINFO info = TopDownBitmapInfo(width_, height_);
    SelectObject(screen_, screenStock_);
    GetDIBits(screen_, screenBitmap_, 0, static_cast<UINT>(height_), pixels.MutableBytes() + 8,
              &info, DIB_RGB_COLORS);
    SelectObject(screen_, screenBitmap_);
    return pixels;
}
