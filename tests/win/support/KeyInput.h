// Key strokes injected into the thread's input with SendInput, as the keyboard would
// give them: the virtual key and its scan code, and the extended flag where it belongs.
#pragma once

#include "platform/Platform.h"

#include <vector>

class KeyInput {
  public:
    KeyInput& Press(WORD key, bool extended = false);
    KeyInput& Release(WORD key, bool extended = false);
    KeyInput& Tap(WORD key, bool extended = false) {
        return Press(key, extended).Release(key, extended);
    }
    // A press and release with scan code 0, as software synthesises keys.
    KeyInput& TapWithoutScanCode(WORD key);
    // A character sent without a key (VK_PACKET), as on-screen keyboards send them.
    KeyInput& Character(WCHAR character);
    // Sends everything added so far; the events reach the foreground window's thread.
    void Send() const;

  private:
    KeyInput& Add(WORD key, WORD scanCode, DWORD flags);
    std::vector<INPUT> inputs_;
};
