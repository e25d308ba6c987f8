#include "tests/win/support/KeyInput.h"

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

void KeyInput::Send() const {
    if (!inputs_.empty()) {
        SendInput(static_cast<UINT>(inputs_.size()), const_cast<INPUT*>(inputs_.data()),
                  sizeof(INPUT));
    }
}
