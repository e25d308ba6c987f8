// A shown dialog of the dialog engine with one canvas control in it, not run modally, so
// the test draws and looks at pixels between its own steps. Destroying the dialog frees
// the control's record, which releases its backing bitmap.
#pragma once

#include "platform/Platform.h"
#include "runtime/DynString.h"

#include <cstdint>
#include <vector>

struct WindowRecord;

class CanvasHost {
  public:
    static constexpr int kControlId = 110;

    CanvasHost(int width, int height);
    ~CanvasHost();
    CanvasHost(const CanvasHost&) = delete;
    CanvasHost& operator=(const CanvasHost&) = delete;

    HWND Window() const { return window_; }
    HWND Control() const { return control_; }
    WindowRecord* Record() const;
    // Makes this canvas the thread's current one (option 0x80 defers the redraw).
    void Attach(std::int32_t option = 0) const;
    // Every pixel of the backing bitmap, read past the canvas operations.
    std::vector<std::uint32_t> Backing() const;
    // What the control shows on the screen.
    std::vector<std::uint32_t> Screen() const;
    // Destroys the window now; the destructor does it otherwise.
    void Destroy();

  private:
    HWND window_ = nullptr;
    HWND control_ = nullptr;
    int width_;
    int height_;
};

// Pixels as 0x00RRGGBB, rows from the top.
using PixelGrid = std::vector<std::uint32_t>;

// The pixels of a pixel string (CanvasGetPixels); none when it is shorter than its header.
PixelGrid FromSnapshot(const DynString& snapshot);
// Every pixel of a DC's bitmap of that size.
PixelGrid ReadDcPixels(HDC dc, int width, int height);
// The control's window DC, i.e. what the screen shows.
PixelGrid ReadScreenPixels(HWND control, int width, int height);
// Handles the thread's pending messages.
void PumpMessages();
// A pixel as the grids hold it, from a COLORREF.
std::uint32_t AsPixel(COLORREF colour);
// Fills a rectangle of the backing bitmap behind the canvas's back.
void PaintBehind(const CanvasHost& host, RECT area, COLORREF colour);
