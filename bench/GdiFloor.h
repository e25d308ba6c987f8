// The floor for key latency: the editor's screen drawn with bare GDI calls and nothing
// else, in a memory DC of its own, and shown on the canvas control with one BitBlt.
#pragma once

#include "editor/TextModel.h"
#include "platform/Platform.h"
#include "runtime/DynString.h"
#include "runtime/StringArray.h"

#include <cstdint>

class GdiFloor {
  public:
    // For the canvas control: its size, the background pixels (a pixel string as the
    // canvas takes it), the text font at points, and how many rows and columns of text the
    // editor shows (its own rule, taken from it).
    GdiFloor(HWND canvas, const DynString& background, std::int32_t points, std::int32_t rows,
             std::int32_t columns) noexcept;
    ~GdiFloor();
    GdiFloor(const GdiFloor&) = delete;
    GdiFloor& operator=(const GdiFloor&) = delete;

    bool Ready() const noexcept { return screen_ != nullptr && picture_ != nullptr; }

    // One screen as the editor shows it for view: the steps below in order.
    void Draw(const StringArray& lines, const ViewState& view, bool insertMode) noexcept;

    // The steps of a screen, apart so that each can be timed.
    void Fill() noexcept;    // white
    void Picture() noexcept; // the background, one BitBlt
    void Rows(const StringArray& lines, const ViewState& view) noexcept; // TextOutA each
    void Guides(const ViewState& view) noexcept;                         // the two lines
    void CursorCell(const StringArray& lines, const ViewState& view, bool insertMode) noexcept;
    void Show() noexcept; // one BitBlt to the control

    // The floor's last screen as a pixel string, to hold against the canvas's.
    DynString Pixels() const noexcept;

  private:
    HWND canvas_;
    int width_ = 0;
    int height_ = 0;
    HDC screen_ = nullptr; // the off-screen picture being built
    HBITMAP screenBitmap_ = nullptr;
    HGDIOBJ screenStock_ = nullptr;
    HDC picture_ = nullptr; // the background, ready to copy
    HBITMAP pictureBitmap_ = nullptr;
    HGDIOBJ pictureStock_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ fontStock_ = nullptr;
    HPEN pen_ = nullptr;
    HGDIOBJ penStock_ = nullptr;
    HBRUSH white_ = nullptr;
    int cellWidth_ = 0;
    int cellHeight_ = 0;
    std::int32_t rows_;
    std::int32_t columns_;
};
