// Actions run from the thread's own message loops (the dialog engine's, the platform's
// common dialogs'), through thread timers.
#pragma once

#include "platform/Platform.h"

#include <functional>

// Runs action once, as soon as the foreground window has this caption.
void WhenForeground(const char* caption, std::function<void()> action);

// Turns a hang into a failure: if still alive after two minutes, destroys every window of
// the thread, which ends any modal run.
class HangGuard {
  public:
    HangGuard();
    ~HangGuard();
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
    bool Fired() const;

  private:
    UINT_PTR timer_;
};
