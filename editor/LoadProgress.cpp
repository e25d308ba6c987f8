#include "editor/LoadProgress.h"

#include <algorithm>

namespace {

constexpr char kClassName[] = "TalvermoorLoadProgress";
constexpr char kCaption[] = "Caricamento";
constexpr char kNameProperty[] = "TalvermoorFileName"; // the shown name, kept by the window
constexpr int kWidth = 360;
constexpr int kHeight = 110;
constexpr int kMargin = 12;
constexpr int kGap = 8; // between the owner and the window
constexpr int kBarTop = 40;
constexpr int kBarHeight = 18;
constexpr LONG_PTR kBarSteps = 1000;
constexpr UINT kSetSteps = WM_APP; // wParam: the bar's new length in steps
constexpr UINT kEnd = WM_APP + 1;  // the load is over

LoadProgressWindow* active = nullptr;

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

LRESULT CALLBACK ProgressProcedure(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case kSetSteps:
        SetWindowLongPtrA(window, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case kEnd:
        DestroyWindow(window);
        return 0;
    case WM_CLOSE:
        return 0; // the load cannot be stopped; the window goes when it ends
    case WM_DESTROY:
        RemovePropA(window, kNameProperty);
        PostQuitMessage(0);
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

// Just below the owner, centred on it (above it where the work area ends first); in the
// middle of the work area without an owner. Never over the owner: under Wine the part of
// an owned window that lies over its busy owner is not brought to the screen.
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
}

LoadProgressWindow::~LoadProgressWindow() {
    if (active == this) {
        active = nullptr;
    }
    if (thread_ == nullptr) {
        return;
    }
    if (HWND window = window_.load(); window != nullptr) {
        PostMessageA(window, kEnd, 0, 0);
    }
    WaitForSingleObject(thread_.get(), INFINITE);
}

bool LoadProgressWindow::Report(std::uint64_t done, std::uint64_t total) noexcept {
    if (active != nullptr) {
        active->Update(done, total);
    }
    return true;
}

void LoadProgressWindow::Update(std::uint64_t bytesRead, std::uint64_t bytesToRead) noexcept {
    const DWORD now = GetTickCount();
    if (!tried_) {
        if (now - startedAt_ < shownAfterMs_) {
            return;
        }
        tried_ = true;
        if (!Show()) {
            return;
        }
    } else if (window_.load() == nullptr || now - updatedAt_ < updateEveryMs_) {
        return;
    }
    updatedAt_ = now;
    const std::uint64_t steps =
        bytesToRead == 0 ? 0 : std::min(bytesRead, bytesToRead) * kBarSteps / bytesToRead;
    PostMessageA(window_.load(), kSetSteps, static_cast<WPARAM>(steps), 0);
}

// Starts the window's thread and waits until the window is there (or could not be made).
bool LoadProgressWindow::Show() noexcept {
    if (!RegisterProgressClass()) {
        return false;
    }
    created_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (created_ == nullptr) {
        return false;
    }
    thread_.reset(CreateThread(nullptr, 0, WindowThread, this, 0, nullptr));
    if (thread_ == nullptr) {
        return false;
    }
    WaitForSingleObject(created_.get(), INFINITE);
    return window_.load() != nullptr;
}

DWORD WINAPI LoadProgressWindow::WindowThread(void* self) noexcept {
    auto& progress = *static_cast<LoadProgressWindow*>(self);
    const POINT at = Placement(progress.owner_);
    HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME, kClassName, kCaption, WS_POPUP | WS_CAPTION,
                                  at.x, at.y, kWidth, kHeight, progress.owner_, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr) {
        SetPropA(window, kNameProperty, const_cast<char*>(progress.name_.Bytes()));
        ShowWindow(window, SW_SHOWNA);
    }
    progress.window_.store(window);
    SetEvent(progress.created_.get());
    if (window == nullptr) {
        return 0;
    }
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
