#include "dialogs/KeyboardHook.h"

#include "dialogs/DialogEngine.h"

namespace {

constexpr BYTE kShift = 0x10;
constexpr BYTE kControl = 0x11;
constexpr BYTE kAlt = 0x12;
constexpr BYTE kRightShiftScan = 0x36;
// The scan code of a character that no key press of its own brings: no key has it, so
// the editor only types the character.
constexpr std::int32_t kCharacterOnlyScan = 0xFF;

KeyTarget keyTarget = nullptr;
HHOOK keyboardHook = nullptr; // the latest installation's handle; kept after removal
HHOOK characterHook = nullptr;
bool hookInstalled = false; // whether those handles are still in the chain
// Which side the latest event of each generic modifier came from, for the whole run.
BYTE rightShiftLast = 0;
BYTE rightAltLast = 0;
BYTE rightCtrlLast = 0;

// The side-specific entries of the key-state table from the generic ones.
void SplitSides(BYTE (&state)[256], BYTE generic, BYTE left, BYTE right, BYTE rightLast) {
    state[right] = rightLast != 0 ? state[generic] : 0;
    state[left] = rightLast != 0 ? 0 : state[generic];
}

// Translations built on an X server give the keypad keys their plain character even with
// Control held and no Alt (Control with the keypad minus gives "-"), where the platform's
// keyboard layouts give none; the editor would type it along with the zoom. Such a
// character counts as none. Other keys keep theirs: Control with Space types a space.
WORD CharacterWithControl(WORD character, BYTE key, const BYTE (&state)[256]) {
    const bool control = (state[VK_CONTROL] & 0x80) != 0;
    const bool alt = (state[VK_MENU] & 0x80) != 0;
    const bool keypad = key >= VK_NUMPAD0 && key <= VK_DIVIDE;
    return control && !alt && keypad ? 0 : character;
}

void Deliver(std::int32_t scanCode, char byte) {
    if (keyTarget != nullptr) {
        DynString keyChar(&byte, 1);
        keyTarget(scanCode, keyChar);
    }
}

// Characters that no key press with a scan code brings: what an input method composes (a
// dead key and a letter, which Wine's X11 driver turns into one press without a scan
// code, VK_NONAME), and VK_PACKET. Their WM_CHAR has no scan code either; a character
// with one came from a key press that the keyboard hook has delivered already. Under
// Wine the message carries UTF-16 whichever variant of the hook watches it, so the
// Unicode variant does, and the character is made the ANSI byte here.
LRESULT CALLBACK CharacterHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallNextHookEx(characterHook, code, wParam, lParam);
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code != HC_ACTION || wParam != PM_REMOVE || message == nullptr ||
        message->message != WM_CHAR || ((message->lParam >> 16) & 0xFF) != 0) {
        return result;
    }
    const auto unit = static_cast<WCHAR>(message->wParam);
    char byte = 0;
    BOOL lacking = FALSE;
    // A character that the ANSI code page lacks is not typed as another one.
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &unit, 1, &byte, 1, nullptr, &lacking) ==
            1 &&
        lacking == FALSE && static_cast<unsigned char>(byte) >= ' ') {
        Deliver(kCharacterOnlyScan, byte);
    }
    return result;
}

} // namespace

void SetKeyTarget(KeyTarget target) noexcept {
    keyTarget = target;
}

// A second installation would hand every key to the editor twice.
void InstallKeyboardHook() noexcept {
    if (hookInstalled) {
        return;
    }
    keyboardHook = SetWindowsHookExA(WH_KEYBOARD, KeyboardHookProc, nullptr, GetCurrentThreadId());
    characterHook =
        SetWindowsHookExW(WH_GETMESSAGE, CharacterHookProc, nullptr, GetCurrentThreadId());
    hookInstalled = keyboardHook != nullptr || characterHook != nullptr;
}

void RemoveKeyboardHook() noexcept {
    if (hookInstalled) {
        if (keyboardHook != nullptr) {
            UnhookWindowsHookEx(keyboardHook);
        }
        if (characterHook != nullptr) {
            UnhookWindowsHookEx(characterHook);
        }
    }
    hookInstalled = false;
}

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallNextHookEx(keyboardHook, code, wParam, lParam);

    BYTE state[256] = {};
    GetKeyboardState(state);
    const BYTE key = static_cast<BYTE>(wParam & 0xFF);
    // The flag word is 32 bits even where LPARAM is wider: bit 31 set means a release.
    const auto flags = static_cast<std::int32_t>(lParam);
    const auto scan = static_cast<std::int32_t>((flags >> 16) & 0xFF);
    const BYTE extended = static_cast<BYTE>((flags >> 24) & 1);

    if (key == kShift) {
        rightShiftLast = scan == kRightShiftScan ? 1 : 0;
    } else if (key == kAlt) {
        rightAltLast = extended;
    } else if (key == kControl) {
        rightCtrlLast = extended;
    }
    SplitSides(state, kShift, VK_LSHIFT, VK_RSHIFT, rightShiftLast);
    SplitSides(state, kAlt, VK_LMENU, VK_RMENU, rightAltLast);
    SplitSides(state, kControl, VK_LCONTROL, VK_RCONTROL, rightCtrlLast);

    WORD character = 0;
    if (ToAsciiEx(key, static_cast<UINT>(scan), state, &character, 0, GetKeyboardLayout(0)) != 1) {
        character = 0;
    }
    character = CharacterWithControl(character, key, state);
    const std::int32_t scanCode = (state[VK_LCONTROL] & 0x80) != 0 ? -scan : scan;

    // Only presses and auto-repeats of keys other than the bare modifiers reach the
    // editor. A key with scan code 0 was made by software or composed; the editor takes
    // scan code 0 as a request to start afresh, so it never gets one. VK_PACKET is a
    // character, not a key: its flag word holds part of the character where the scan code
    // belongs (a "P" would read as the Down arrow), and its release reads as a press.
    // The characters of both reach the editor through CharacterHookProc.
    if (key != kShift && key != kControl && key != kAlt && key != VK_PACKET && flags > 0 &&
        scan != 0) {
        Deliver(scanCode, static_cast<char>(character & 0xFF));
    }
    return result;
}

std::int32_t EditorDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        InstallKeyboardHook();
    } else if (message == WM_DESTROY) {
        RemoveKeyboardHook();
    } else if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialogWith(window, 0);
    }
    return 0;
}
