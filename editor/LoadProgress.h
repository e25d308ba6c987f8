// The progress of a long load: a small window owned by the start dialog, with the file's
// name and a bar that follows the bytes read. Loads that end quickly show nothing.
//
// The window lives on a thread of its own, which waits for messages like any window's
// thread, so it appears and repaints at once although the load keeps the program's thread
// busy and never lets that thread wait.
#pragma once

#include "platform/Platform.h"
#include "runtime/DynString.h"

#include <atomic>
#include <cstdint>
#include <memory>

constexpr DWORD kProgressShownAfterMs = 500;  // loads shorter than this show no window
constexpr DWORD kProgressUpdateEveryMs = 200; // the bar moves a few times a second

// While it lives, LoadProgressWindow::Report (a LoadProgressReport) shows the progress of
// the load of the named file; the window goes with it. One at a time.
class LoadProgressWindow {
  public:
    LoadProgressWindow(HWND owner, const DynString& name,
                       DWORD shownAfterMs = kProgressShownAfterMs,
                       DWORD updateEveryMs = kProgressUpdateEveryMs) noexcept;
    ~LoadProgressWindow();
    LoadProgressWindow(const LoadProgressWindow&) = delete;
    LoadProgressWindow& operator=(const LoadProgressWindow&) = delete;

    static bool Report(std::uint64_t done, std::uint64_t total) noexcept;

  private:
    struct HandleClose {
        void operator()(void* handle) const noexcept { CloseHandle(handle); }
    };
    using OwnedHandle = std::unique_ptr<void, HandleClose>;

    void Update(std::uint64_t bytesRead, std::uint64_t bytesToRead) noexcept;
    bool Show() noexcept;
    static DWORD WINAPI WindowThread(void* self) noexcept;

    HWND owner_;
    DynString name_;
    DWORD startedAt_;
    DWORD shownAfterMs_;
    DWORD updateEveryMs_;
    DWORD updatedAt_ = 0;
    bool tried_ = false;  // the window was asked for once; never again
    OwnedHandle created_; // set by the window's thread once the window exists
    OwnedHandle thread_;
    std::atomic<HWND> window_{nullptr}; // made and destroyed by the window's thread
};
