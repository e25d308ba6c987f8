// A dialog that a test made and did not run to its end: destroyed when the test is over.
#pragma once

#include "platform/Platform.h"

#include <string>

class ScopedDialog {
  public:
    explicit ScopedDialog(HWND window) : window_(window) {}
    ~ScopedDialog() {
        if (window_ != nullptr && IsWindow(window_)) {
            DestroyWindow(window_);
        }
    }
    ScopedDialog(const ScopedDialog&) = delete;
    ScopedDialog& operator=(const ScopedDialog&) = delete;
    operator HWND() const { return window_; }

  private:
    HWND window_;
};

inline RECT ClientRect(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

inline RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

inline RECT WorkArea() {
    RECT rect{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0);
    return rect;
}

inline std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

inline LOGFONTA FontOf(HWND window) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}
