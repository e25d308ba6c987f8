#include "tests/win/support/KeyInput.h"

#include <gtest/gtest.h>

namespace {

// A window that a key closes (Alt+F4 in an end-to-end case) never sees that key's release,
// and the desktop that all the tests share keeps the key held: the keys a test sends would
// then arrive with Alt. A test program that sends keys starts by releasing what is held.
class ReleaseHeldKeys : public testing::Environment {
  public:
    void SetUp() override {
        KeyInput release;
        // From VK_BACK on: the codes below it are mouse buttons and Break.
        for (WORD key = VK_BACK; key <= 0xFE; ++key) {
            if ((GetAsyncKeyState(key) & 0x8000) != 0) {
                release.Release(key);
            }
        }
        release.Send();
    }
};

testing::Environment* const releaseHeldKeys =
    testing::AddGlobalTestEnvironment(new ReleaseHeldKeys);

} // namespace

KeyInput& KeyInput::Add(WORD key, WORD scanCode, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = scanCode;
    input.ki.dwFlags = flags;
    inputs_.push_back(input);
    return *this;
}

KeyInput& KeyInput::Press(WORD key, bool extended) {
    return Add(key, static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)),
               extended ? KEYEVENTF_EXTENDEDKEY : 0);
}

KeyInput& KeyInput::Release(WORD key, bool extended) {
    return Add(key, static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)),
               KEYEVENTF_KEYUP | (extended ? KEYEVENTF_EXTENDEDKEY : 0));
}

KeyInput& KeyInput::TapWithoutScanCode(WORD key) {
    return Add(key, 0, 0).Add(key, 0, KEYEVENTF_KEYUP);
}

KeyInput& KeyInput::Character(WCHAR character) {
    return Add(0, character, KEYEVENTF_UNICODE)
        .Add(0, character, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
}

void KeyInput::Send() const {
    if (!inputs_.empty()) {
        SendInput(static_cast<UINT>(inputs_.size()), const_cast<INPUT*>(inputs_.data()),
                  sizeof(INPUT));
    }
}
