// The progress of a long load: a small window owned by the start dialog, with the file's
// name, a bar that follows the load and the button "Annulla". Loads that end quickly show
// nothing.
//
// It lives on the thread that loads, the program's one user-interface thread. Between the
// blocks of the load (at each report) it runs its own messages, so it is painted and
// answers; of the input meant for other windows only a request to close the owner counts
// (Esc, Alt+F4, its close box), and the rest is dropped, so that nothing pressed during
// the load acts after it.
#pragma once

#include "platform/Platform.h"
#include "runtime/DynString.h"

#include <cstdint>

constexpr DWORD kProgressShownAfterMs = 500;  // loads shorter than this show no window
constexpr DWORD kProgressUpdateEveryMs = 200; // the bar moves a few times a second
constexpr DWORD kProgressPumpEveryMs = 20;    // how long input may wait during a load

// Why a load was stopped from its progress window.
enum class LoadStop : std::uint8_t {
    None,
    Cancelled,   // "Annulla", Esc, or closing the progress window
    OwnerClosed, // the owner, the start dialog, was asked to close
};

// While it lives, LoadProgressWindow::Report (a LoadProgressReport) shows the progress of
// the load of the named file and answers false once the load is to stop. One at a time.
class LoadProgressWindow {
  public:
    LoadProgressWindow(HWND owner, const DynString& name,
                       DWORD shownAfterMs = kProgressShownAfterMs,
                       DWORD updateEveryMs = kProgressUpdateEveryMs) noexcept;
    ~LoadProgressWindow();
    LoadProgressWindow(const LoadProgressWindow&) = delete;
    LoadProgressWindow& operator=(const LoadProgressWindow&) = delete;

    static bool Report(std::uint64_t done, std::uint64_t total) noexcept;
    // Called by the owner's callback when the owner is asked to close during the load.
    static void OwnerClosing() noexcept;

    // Ends the window once the load has returned: what is still queued is looked at one
    // last time, by the same rules. Answers why the load was stopped, if it was.
    LoadStop Finish() noexcept;

  private:
    void Update(std::uint64_t done, std::uint64_t total) noexcept;
    void Pump() noexcept;
    bool Show() noexcept;
    void Close() noexcept;

    HWND owner_;
    DynString name_;
    DWORD startedAt_;
    DWORD shownAfterMs_;
    DWORD updateEveryMs_;
    DWORD updatedAt_ = 0;
    DWORD pumpedAt_ = 0;
    bool tried_ = false; // the window was asked for once; never again
    HWND window_ = nullptr;
    LoadStop stop_ = LoadStop::None;
};
