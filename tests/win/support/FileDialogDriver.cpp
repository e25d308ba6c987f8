#include "tests/win/support/FileDialogDriver.h"

#include "tests/win/support/MessageBoxCloser.h"

#include <utility>

namespace {

constexpr int kLookIn = 0x471;   // cmb2
constexpr int kFileType = 0x470; // cmb1
constexpr int kFileName = 0x47C; // cmb13
constexpr DWORD kPollMilliseconds = 20;
// The platform's dialog may take many seconds to come or go on a loaded machine; the
// patience only turns a dialog that never does into a failure.
constexpr DWORD kPatienceMilliseconds = 120000;

std::string ItemText(HWND dialog, int id) {
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

HWND WaitForDialog(const std::string& caption) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kPatienceMilliseconds;) {
        HWND dialog = FindWindowA("#32770", caption.c_str());
        if (dialog != nullptr && IsWindowVisible(dialog)) {
            return dialog;
        }
        Sleep(kPollMilliseconds);
    }
    return nullptr;
}

bool WaitForEnd(HWND dialog) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kPatienceMilliseconds;) {
        if (!IsWindow(dialog)) {
            return true;
        }
        Sleep(kPollMilliseconds);
    }
    return false;
}

// A message box that the dialog shows over itself: another dialog window of its thread.
HWND MessageBoxOver(HWND dialog) {
    return FindMessageBox(GetWindowThreadProcessId(dialog, nullptr), dialog);
}

// Closes the message boxes first: cancelling the dialog under an open message box makes
// the platform's dialog fail when the box returns.
void ForceEnd(HWND dialog) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kPatienceMilliseconds;) {
        HWND box = MessageBoxOver(dialog);
        if (box == nullptr) {
            break;
        }
        PostMessageA(box, WM_CLOSE, 0, 0);
        Sleep(kPollMilliseconds);
    }
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitForEnd(dialog);
}

} // namespace

FileDialogDriver::FileDialogDriver(std::string caption, std::string name)
    : caption_(std::move(caption)), name_(std::move(name)), thread_([this] { Drive(); }) {}

FileDialogDriver::~FileDialogDriver() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

const FileDialogDriver::Seen& FileDialogDriver::Result() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return seen_;
}

void FileDialogDriver::Drive() {
    HWND dialog = WaitForDialog(caption_);
    if (dialog == nullptr) {
        return;
    }
    seen_.found = true;
    seen_.folder = ItemText(dialog, kLookIn);
    seen_.fileName = ItemText(dialog, kFileName);
    seen_.filterText = ItemText(dialog, kFileType);
    seen_.filterCount = static_cast<int>(SendDlgItemMessageA(dialog, kFileType, CB_GETCOUNT, 0, 0));
    if (name_.empty()) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
        SetDlgItemTextA(dialog, kFileName, name_.c_str());
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    }
    if (!WaitForEnd(dialog)) {
        seen_.stuck = true;
        ForceEnd(dialog);
    }
}

void ForgetLastVisitedFolders() {
    RegDeleteKeyA(
        HKEY_CURRENT_USER,
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedMRU");
}
