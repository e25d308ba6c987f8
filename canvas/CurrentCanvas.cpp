#include "canvas/CurrentCanvas.h"

#include "canvas/Canvas.h"
#include "canvas/CanvasControl.h"
#include "canvas/CanvasState.h"
#include "canvas/ScreenCopy.h"
#include "dialogs/WindowRecord.h"
#include "runtime/ErrorNumber.h"
#include "runtime/ThreadState.h"

namespace {

void SetCurrentCanvas(HWND canvas) {
    if (ThreadState* state = CurrentThreadState()) {
        state->currentCanvas = canvas;
    }
}

} // namespace

WindowRecord* CurrentCanvas() noexcept {
    ThreadState* state = CurrentThreadState();
    if (state == nullptr || state->currentCanvas == nullptr) {
        return nullptr;
    }
    // Looked up again every time, so a canvas whose dialog is gone is simply not found.
    WindowRecord* record = FindWindowRecord(static_cast<HWND>(state->currentCanvas));
    if (record == nullptr || record->kind != kKindCanvas || CanvasOf(*record).memoryDc == nullptr) {
        return nullptr;
    }
    return record;
}

void UpdateCanvasScreen(WindowRecord& canvas) noexcept {
    DrawPendingClear(CanvasOf(canvas));
    const RECT send = AreaToSend(canvas);
    if (!IsRectEmpty(&send)) {
        InvalidateRect(canvas.window, &send, FALSE);
    }
    // Also paints what the platform itself found invalid meanwhile.
    UpdateWindow(canvas.window);
}

void AutoRedraw(WindowRecord& canvas) noexcept {
    if ((canvas.flags & kRecordDeferredRedraw) == 0) {
        UpdateCanvasScreen(canvas);
    }
}

void CanvasAttach(WindowHandle window, std::int32_t controlId, std::int32_t option) noexcept {
    SetCurrentCanvas(nullptr);
    // Each screen starts here, and under Wine the window server is often still busy with
    // the previous screen then: the engine's own records find its dialog's control without
    // asking it. The engine's dialogs hold only its own controls, so the one recorded
    // control with the id is the one GetDlgItem would give; GetDlgItem decides otherwise.
    HWND target = FindOnlyControl(window, controlId);
    if (target == nullptr) {
        target = GetDlgItem(window, controlId);
    }
    if (target == nullptr) {
        target = window;
    }
    WindowRecord* record = FindWindowRecord(target);
    if (record == nullptr || record->kind != kKindCanvas) {
        SetErrorNumber(Err::DeviceUnavailable);
        return;
    }
    record->flags &= ~kRecordDeferredRedraw;
    if ((option & kCanvasDeferredRedraw) != 0) {
        record->flags |= kRecordDeferredRedraw;
    }
    SetCurrentCanvas(target);
}

RECT CanvasVisibleArea(const WindowRecord& canvas) noexcept {
    RECT visible{0, 0, CanvasOf(canvas).width, CanvasOf(canvas).height};
    RECT client{};
    HWND dialog = GetParent(canvas.window);
    if (dialog != nullptr && GetClientRect(dialog, &client)) {
        MapWindowPoints(dialog, canvas.window, reinterpret_cast<POINT*>(&client), 2);
        if (!IntersectRect(&visible, &visible, &client)) {
            return RECT{};
        }
    }
    return visible;
}

void CanvasRedraw() noexcept {
    if (WindowRecord* canvas = CurrentCanvas()) {
        UpdateCanvasScreen(*canvas);
    }
}

void CanvasGetSize(double& width, double& height) noexcept {
    const WindowRecord* canvas = CurrentCanvas();
    width = canvas != nullptr ? CanvasOf(*canvas).width : 0;
    height = canvas != nullptr ? CanvasOf(*canvas).height : 0;
}

void CanvasGetVisibleSize(double& width, double& height) noexcept {
    width = height = 0;
    const WindowRecord* canvas = CurrentCanvas();
    if (canvas == nullptr) {
        return;
    }
    const RECT visible = CanvasVisibleArea(*canvas);
    width = visible.right - visible.left;
    height = visible.bottom - visible.top;
}
