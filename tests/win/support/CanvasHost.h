// A shown top-level window with one canvas control in it, built the way the dialog
// engine builds one: WM_DRAWITEM goes to CanvasPaint, and destroying the window frees the
// control's record (which releases its backing bitmap).
#pragma once

#include "platform/Platform.h"

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
    // Destroys the window now; the destructor does it otherwise.
    void Destroy();

  private:
    HWND window_ = nullptr;
    HWND control_ = nullptr;
};

// Pixels as 0x00RRGGBB, rows from the top.
using PixelGrid = std::vector<std::uint32_t>;

// Every pixel of a DC's bitmap of that size.
PixelGrid ReadDcPixels(HDC dc, int width, int height);
// The control's window DC, i.e. what the screen shows.
PixelGrid ReadScreenPixels(HWND control, int width, int height);
// Handles the thread's pending messages.
void PumpMessages();
