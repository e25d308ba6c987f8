#include "MessageBoxCloser.h"

#include "platform/Platform.h"

namespace {

constexpr DWORD kPatienceMilliseconds = 120000;

// The first visible message box (a "#32770" dialog) of a thread.
HWND FindMessageBox(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM result) -> BOOL {
            char className[16] = {};
            GetClassNameA(window, className, sizeof className);
            if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window)) {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

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
