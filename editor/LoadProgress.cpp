#include "editor/LoadProgress.h"

#include <algorithm>

namespace {

constexpr char kClassName[] = "TalvermoorLoadProgress";
constexpr char kCaption[] = "Caricamento";
constexpr char kCancelText[] = "Annulla";
constexpr char kNameProperty[] = "TalvermoorFileName"; // the shown name, kept by the window
constexpr int kWidth = 360;
constexpr int kHeight = 140;
constexpr int kMargin = 12;
constexpr int kGap = 8; // between the owner and the window
constexpr int kBarTop = 40;
constexpr int kBarHeight = 18;
constexpr LONG_PTR kBarSteps = 1000;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 24;
constexpr int kButtonTop = kBarTop + kBarHeight + 10;

LoadProgressWindow* active = nullptr;
LoadStop* activeStop = nullptr; // where the window's own messages record a stop

// The bar's frame in client coordinates.
RECT BarFrame(HWND window) noexcept {
    RECT client{};
    GetClientRect(window, &client);
    return RECT{kMargin, kBarTop, client.right - kMargin, kBarTop + kBarHeight};
}

void Paint(HWND window) noexcept {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    const RECT frame = BarFrame(window);
    const auto* name = static_cast<const char*>(GetPropA(window, kNameProperty));
    RECT text{kMargin, 12, frame.right, kBarTop - 4};
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawTextA(dc, name != nullptr ? name : "", -1, &text,
              DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWFRAME));
    const RECT inside{frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1};
    const LONG_PTR steps = GetWindowLongPtrA(window, GWLP_USERDATA);
    RECT done = inside;
    done.right = inside.left + static_cast<LONG>((inside.right - inside.left) * steps / kBarSteps);
    FillRect(dc, &done, GetSysColorBrush(COLOR_HIGHLIGHT));
    RECT rest = inside;
    rest.left = done.right;
    FillRect(dc, &rest, GetSysColorBrush(COLOR_WINDOW));
    EndPaint(window, &paint);
}

void RecordStop(LoadStop stop) noexcept {
    if (activeStop != nullptr && *activeStop == LoadStop::None) {
        *activeStop = stop;
    }
}

LRESULT CALLBACK ProgressProcedure(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) { // "Annulla", or Esc
            RecordStop(LoadStop::Cancelled);
        }
        return 0;
    case WM_CLOSE: // the close box or Alt+F4: the load stops, and the window goes with it
        RecordStop(LoadStop::Cancelled);
        return 0;
    case WM_DESTROY:
        RemovePropA(window, kNameProperty);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterProgressClass() noexcept {
    static const bool registered = [] {
        WNDCLASSA type{};
        type.lpfnWndProc = ProgressProcedure;
        type.hInstance = GetModuleHandleA(nullptr);
        type.hCursor = LoadCursorA(nullptr, IDC_WAIT);
        type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        type.lpszClassName = kClassName;
        return RegisterClassA(&type) != 0;
    }();
    return registered;
}

bool IsInput(UINT message) noexcept {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// Esc, Alt+F4 or a click on the close box, in the window or one of its controls.
bool AsksToClose(HWND window, const MSG& message) noexcept {
    if (window == nullptr || (message.hwnd != window && !IsChild(window, message.hwnd))) {
        return false;
    }
    return (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) ||
           (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4) ||
           (message.message == WM_NCLBUTTONDOWN && message.wParam == HTCLOSE);
}

// Just below the owner, centred on it (above it where the work area ends first); in the
// middle of the work area without an owner. Never over the owner, which stays in sight.
POINT Placement(HWND owner) noexcept {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT around{};
    if (owner == nullptr || !GetWindowRect(owner, &around)) {
        return POINT{work.left + (work.right - work.left - kWidth) / 2,
                     work.top + (work.bottom - work.top - kHeight) / 2};
    }
    const LONG x = around.left + (around.right - around.left - kWidth) / 2;
    const LONG below = around.bottom + kGap;
    return POINT{x, below + kHeight <= work.bottom ? below : around.top - kGap - kHeight};
}

} // namespace

LoadProgressWindow::LoadProgressWindow(HWND owner, const DynString& name, DWORD shownAfterMs,
                                       DWORD updateEveryMs) noexcept
    : owner_(owner), name_(name), startedAt_(GetTickCount()), shownAfterMs_(shownAfterMs),
      updateEveryMs_(updateEveryMs) {
    active = this;
    activeStop = &stop_;
}

LoadProgressWindow::~LoadProgressWindow() {
    Close();
    if (active == this) {
        active = nullptr;
        activeStop = nullptr;
    }
}

bool LoadProgressWindow::Report(std::uint64_t done, std::uint64_t total) noexcept {
    if (active == nullptr) {
        return true;
    }
    LoadProgressWindow& progress = *active;
    const DWORD now = GetTickCount();
    if (now - progress.pumpedAt_ >= std::min(progress.updateEveryMs_, kProgressPumpEveryMs)) {
        progress.pumpedAt_ = now;
        progress.Update(done, total);
        progress.Pump();
    }
    return progress.stop_ == LoadStop::None;
}

void LoadProgressWindow::OwnerClosing() noexcept {
    RecordStop(LoadStop::OwnerClosed);
}

LoadStop LoadProgressWindow::Finish() noexcept {
    Pump();
    Close();
    return stop_;
}

void LoadProgressWindow::Update(std::uint64_t done, std::uint64_t total) noexcept {
    const DWORD now = GetTickCount();
    if (!tried_) {
        if (now - startedAt_ < shownAfterMs_) {
            return;
        }
        tried_ = true;
        if (!Show()) {
            return;
        }
    } else if (window_ == nullptr || now - updatedAt_ < updateEveryMs_) {
        return;
    }
    updatedAt_ = now;
    const std::uint64_t steps = total == 0 ? 0 : std::min(done, total) * kBarSteps / total;
    SetWindowLongPtrA(window_, GWLP_USERDATA, static_cast<LONG_PTR>(steps));
    const RECT bar = BarFrame(window_);
    InvalidateRect(window_, &bar, FALSE);
    UpdateWindow(window_);
}

// Every message of the thread that waits: the window's own run as usual, input for any
// other window is dropped unless it asks the owner to close, and the rest (painting, the
// platform's own requests) is run.
void LoadProgressWindow::Pump() noexcept {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        const bool ours =
            window_ != nullptr && (message.hwnd == window_ || IsChild(window_, message.hwnd));
        if (!ours && IsInput(message.message)) {
            if (AsksToClose(owner_, message)) {
                RecordStop(LoadStop::OwnerClosed);
            }
            continue;
        }
        if (ours && IsDialogMessageA(window_, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool LoadProgressWindow::Show() noexcept {
    if (!RegisterProgressClass()) {
        return false;
    }
    const POINT at = Placement(owner_);
    window_ = CreateWindowExA(WS_EX_DLGMODALFRAME, kClassName, kCaption,
                              WS_POPUP | WS_CAPTION | WS_SYSMENU, at.x, at.y, kWidth, kHeight,
                              owner_, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window_ == nullptr) {
        return false;
    }
    SetPropA(window_, kNameProperty, const_cast<char*>(name_.Bytes()));
    RECT client{};
    GetClientRect(window_, &client);
    HWND button = CreateWindowExA(
        0, "BUTTON", kCancelText, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
        client.right - kMargin - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), GetModuleHandleA(nullptr),
        nullptr);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    // Shown active, so that Esc and Enter reach "Annulla" at once.
    ShowWindow(window_, SW_SHOW);
    SetFocus(button);
    UpdateWindow(window_);
    return true;
}

void LoadProgressWindow::Close() noexcept {
    if (window_ != nullptr && IsWindow(window_)) {
        DestroyWindow(window_);
    }
    window_ = nullptr;
}
