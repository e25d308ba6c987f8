#include "editor/EditorWindow.h"

#include "canvas/CanvasControl.h"
#include "canvas/PreparedPicture.h"
#include "dialogs/DialogEngine.h"
#include "editor/ScreenDrawing.h"
#include "runtime/MessageBox.h"

namespace {
constexpr std::int32_t kEditorStyle = 0x01000000; // WS_MAXIMIZE
constexpr std::int32_t kEditorExStyle = 0x588;    // topmost tool window with edge and help
static_assert(kEditorStyle == WS_MAXIMIZE);
static_assert(kEditorExStyle ==
              (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE | WS_EX_CONTEXTHELP));

// The first screen is drawn before the window is shown, and it counts the rows and columns
// that the window shows; so the hidden window is maximized now, in the rectangle that
// maximizing gives it (the work area less the title bar, the borders lying outside it),
// while its restored placement stays the small centred window it was made as. Maximized
// before it is first shown, it also reaches a window manager as maximized: a window of
// fixed size first shown in its restored state is announced with one size as both its
// least and its greatest, and a manager such as openbox then neither maximizes it nor
// keeps it on the screen.
void TakeMaximizedPlacement(HWND window) {
    WINDOWPLACEMENT restored{};
    restored.length = sizeof restored;
    GetWindowPlacement(window, &restored);
    SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | WS_MAXIMIZE);
    // Maximized, the window takes the restored rectangle without moving.
    restored.flags = 0;
    restored.showCmd = SW_HIDE;
    SetWindowPlacement(window, &restored);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame = work;
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
    const int titleBar = (work.top - frame.top) - (frame.bottom - work.bottom);
    frame.top += titleBar;
    SetWindowPos(window, nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

} // namespace

HWND NewEditorWindow() noexcept {
    HWND window = NewDialog(nullptr, "Editor", kCentred, kCentred, 100, 100, kEditorStyle,
                            kEditorExStyle, kUnitsPixels);
    const WorkAreaSize workArea = DesktopWorkArea();
    RegisterCanvasControl();
    AddControl(window, kKindCanvas, kEditorCanvasId, DynString(), 0, 0, workArea.width,
               workArea.height, 0, 0, nullptr, nullptr);
    if (window != nullptr) {
        TakeMaximizedPlacement(window);
    }
    return window;
}

void PrepareEditorBackground() noexcept {
    // The canvas takes the work area, and the first screen draws the picture over it from
    // corner to corner.
    const WorkAreaSize workArea = DesktopWorkArea();
    PreparePicture(BackgroundImageName, 0, 0, workArea.width, workArea.height);
}
