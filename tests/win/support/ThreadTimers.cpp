#include "tests/win/support/ThreadTimers.h"

#include <string>
#include <utility>

namespace {

constexpr UINT kPollMilliseconds = 10;
// Far beyond what the longest test needs on a loaded machine (the key storm took 41 s at a
// load of 16), so only a real hang ends a run.
constexpr UINT kHangMilliseconds = 120000;

UINT_PTR foregroundTimer = 0;
std::string foregroundCaption;
std::function<void()> foregroundAction;
bool guardFired = false;

void CALLBACK CheckForeground(HWND, UINT, UINT_PTR, DWORD) {
    char caption[256] = "";
    HWND foreground = GetForegroundWindow();
    if (foreground == nullptr || !IsWindowVisible(foreground)) {
        return;
    }
    GetWindowTextA(foreground, caption, sizeof caption);
    if (foregroundCaption != caption) {
        return;
    }
    KillTimer(nullptr, foregroundTimer);
    foregroundTimer = 0;
    std::function<void()> action = std::move(foregroundAction);
    foregroundAction = nullptr;
    action();
}

BOOL CALLBACK DestroyOne(HWND window, LPARAM) {
    DestroyWindow(window);
    return TRUE;
}

void CALLBACK GiveUp(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    guardFired = true;
    EnumThreadWindows(GetCurrentThreadId(), DestroyOne, 0);
}

} // namespace

void WhenForeground(const char* caption, std::function<void()> action) {
    if (foregroundTimer != 0) {
        KillTimer(nullptr, foregroundTimer);
    }
    foregroundCaption = caption;
    foregroundAction = std::move(action);
    foregroundTimer = SetTimer(nullptr, 0, kPollMilliseconds, CheckForeground);
}

HangGuard::HangGuard() : timer_(SetTimer(nullptr, 0, kHangMilliseconds, GiveUp)) {
    guardFired = false;
}

HangGuard::~HangGuard() {
    KillTimer(nullptr, timer_);
}

bool HangGuard::Fired() const {
    return guardFired;
}
