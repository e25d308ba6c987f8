#include "MessageBoxCloser.h"

#include "platform/Platform.h"

#include <utility>

namespace {

constexpr DWORD kPatienceMilliseconds = 120000;

} // namespace

HWND FindMessageBox(DWORD threadId, HWND other) {
    // The window not to take, then the box found.
    std::pair<HWND, HWND> search{other, nullptr};
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM state) -> BOOL {
            auto& [skipped, found] = *reinterpret_cast<std::pair<HWND, HWND>*>(state);
            char className[16] = {};
            GetClassNameA(window, className, sizeof className);
            if (window == skipped || lstrcmpA(className, "#32770") != 0 ||
                !IsWindowVisible(window)) {
                return TRUE;
            }
            found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

MessageBoxCloser::MessageBoxCloser()
    : threadId_(GetCurrentThreadId()), helper_([this] { Answer(); }) {}

MessageBoxCloser::~MessageBoxCloser() {
    helper_.join();
}

void MessageBoxCloser::Answer() {
    // A guard against a box that never comes, not a measure of speed: a loaded machine may
    // take many seconds to show one.
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kPatienceMilliseconds) {
        if (const HWND box = FindMessageBox(threadId_)) {
            char text[1024] = {};
            GetWindowTextA(box, text, sizeof text);
            caption_ = text;
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            text_ = text;
            found_ = true;
            SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            return;
        }
        Sleep(10);
    }
}
