#include "dialogs/DialogEngine.h"
#include "dialogs/KeyboardHook.h"
#include "tests/win/fakes/RecordedKeys.h"
#include "tests/win/support/KeyInput.h"
#include "tests/win/support/ThreadTimers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr UINT kAct = WM_APP;
constexpr bool kExtended = true;
const RecordedKey kEscape{1, "\x1b"};

KeyInput pendingKeys;
std::vector<UINT> commands; // command ids the window saw

// The editor window's callback, plus sending the pending keys once the loop runs.
std::int32_t EditorWithKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        PostMessageA(window, kAct, 0, 0);
    }
    if (message == kAct) {
        pendingKeys.Send();
    }
    if (message == WM_COMMAND) {
        commands.push_back(LOWORD(wParam));
    }
    return EditorDialogCallback(window, message, wParam, lParam);
}

HWND EditorLikeDialog() {
    return NewDialog(nullptr, "Editor", kCentred, kCentred, 200, 100, WS_POPUP | WS_CAPTION, 0,
                     kUnitsPixels);
}

// Runs an editor-like window, types the keys and then Esc, which ends it; answers the
// events delivered before the Esc.
std::vector<RecordedKey> Deliver(KeyInput keys) {
    StartRecordingKeys();
    commands.clear();
    pendingKeys = keys.Tap(VK_ESCAPE);
    HangGuard guard;
    ShowDialogModal(EditorLikeDialog(), EditorWithKeys, nullptr);
    EXPECT_FALSE(guard.Fired());
    std::vector<RecordedKey> delivered = recordedKeys;
    if (delivered.empty() || !(delivered.back() == kEscape)) {
        ADD_FAILURE() << "Esc was not delivered last";
        return delivered;
    }
    delivered.pop_back();
    return delivered;
}

using Keys = std::vector<RecordedKey>;

} // namespace

TEST(KeyboardHook, LettersFollowShiftWithTheSameScanCode) {
    EXPECT_EQ(Deliver(KeyInput().Tap('A')), (Keys{{30, "a"}}));
    EXPECT_EQ(Deliver(KeyInput().Press(VK_SHIFT).Tap('A').Release(VK_SHIFT)), (Keys{{30, "A"}}));
    // The right Shift key is a Shift key too.
    EXPECT_EQ(Deliver(KeyInput().Press(VK_RSHIFT).Tap('A').Release(VK_RSHIFT)), (Keys{{30, "A"}}));
}

TEST(KeyboardHook, TheLeftControlKeyNegatesTheScanCode) {
    EXPECT_EQ(Deliver(KeyInput().Press(VK_CONTROL).Tap('A').Release(VK_CONTROL)),
              (Keys{{-30, "\x01"}}));
    // The side of the last Control event counts: left, right, then left again.
    EXPECT_EQ(Deliver(KeyInput()
                          .Press(VK_CONTROL)
                          .Tap(VK_HOME, kExtended)
                          .Release(VK_CONTROL)
                          .Press(VK_CONTROL, kExtended)
                          .Tap(VK_HOME, kExtended)
                          .Release(VK_CONTROL, kExtended)
                          .Press(VK_CONTROL)
                          .Tap(VK_HOME, kExtended)
                          .Release(VK_CONTROL)),
              (Keys{{-71, std::string(1, '\0')},
                    {71, std::string(1, '\0')},
                    {-71, std::string(1, '\0')}}));
}

TEST(KeyboardHook, ControlWithTheKeypadGivesNoPrintableCharacterButSpaceStaysASpace) {
    // The zoom keys: the keypad minus and plus with the left Control key type nothing,
    // while Control with Space gives a space, as the platform's layouts do.
    const std::string zero(1, '\0');
    EXPECT_EQ(Deliver(KeyInput()
                          .Press(VK_CONTROL)
                          .Tap(VK_SUBTRACT)
                          .Tap(VK_ADD)
                          .Tap(VK_SPACE)
                          .Release(VK_CONTROL)),
              (Keys{{-74, zero}, {-78, zero}, {-57, " "}}));
}

TEST(KeyboardHook, KeysWithoutACharacterGiveByteZero) {
    const std::string zero(1, '\0');
    EXPECT_EQ(Deliver(KeyInput()
                          .Tap(VK_UP, kExtended)
                          .Tap(VK_F1)
                          .Tap(VK_END, kExtended)
                          .Tap(VK_NEXT, kExtended)
                          .Tap(VK_DELETE, kExtended)),
              (Keys{{72, zero}, {59, zero}, {79, zero}, {81, zero}, {83, zero}}));
}

TEST(KeyboardHook, ControlCharacterKeys) {
    EXPECT_EQ(Deliver(KeyInput().Tap(VK_RETURN).Tap(VK_BACK).Tap(VK_TAB)),
              (Keys{{28, "\r"}, {14, "\b"}, {15, "\t"}}));
    // The keys still reach the window: Enter became IDOK, and Esc ended it through IDCANCEL.
    EXPECT_NE(std::find(commands.begin(), commands.end(), static_cast<UINT>(IDOK)), commands.end());
    EXPECT_NE(std::find(commands.begin(), commands.end(), static_cast<UINT>(IDCANCEL)),
              commands.end());
}

TEST(KeyboardHook, ModifiersAloneReleasesAndSoftwareKeysWithoutACharacterDeliverNothing) {
    EXPECT_EQ(Deliver(KeyInput()
                          .Tap(VK_SHIFT)
                          .Tap(VK_CONTROL)
                          .Tap(VK_CONTROL, kExtended)
                          .Tap(VK_MENU)
                          .Release('B')
                          .TapWithoutScanCode(VK_HOME)),
              Keys{});
}

TEST(KeyboardHook, CharactersWithoutAKeyArriveOnceAsTypedCharacters) {
    // As the ANSI byte, with the scan code that no key has; the "P" is not the Down arrow
    // (80) that its flag word would read as. A key without a scan code, as software or a
    // dead key's composition makes it, gives its character the same way.
    EXPECT_EQ(Deliver(KeyInput()
                          .Character(L'\u00e9')
                          .Character(L'\u20ac')
                          .Character(L'P')
                          .TapWithoutScanCode('B')
                          .Tap('A')),
              (Keys{{255, "\xe9"}, {255, "\x80"}, {255, "P"}, {255, "b"}, {30, "a"}}));
    // Neither a character that the ANSI code page lacks nor a control character is typed.
    EXPECT_EQ(Deliver(KeyInput().Character(L'\u0151').Character(L'\b')), Keys{});
}

TEST(KeyboardHook, InstallingTwiceStillDeliversEachKeyOnce) {
    InstallKeyboardHook(); // the editor window's own installation follows in Deliver
    EXPECT_EQ(Deliver(KeyInput().Tap('A')), (Keys{{30, "a"}}));
}

TEST(KeyboardHook, EveryAutoRepeatIsAnEvent) {
    EXPECT_EQ(Deliver(KeyInput().Press('A').Press('A').Press('A').Release('A')),
              (Keys{{30, "a"}, {30, "a"}, {30, "a"}}));
}

TEST(EditorDialogCallback, AClosePostedToTheWindowEndsItThroughCancel) {
    StartRecordingKeys();
    commands.clear();
    pendingKeys = KeyInput();
    HWND dialog = EditorLikeDialog();
    HangGuard guard;
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ShowDialogModal(dialog, EditorWithKeys, nullptr);
    EXPECT_FALSE(guard.Fired());
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(commands, std::vector<UINT>{IDCANCEL});
}

TEST(EditorDialogCallback, TheHookLivesAsLongAsTheWindow) {
    Deliver(KeyInput());
    // A window of another callback, after the editor window: no key reaches the editor.
    StartRecordingKeys();
    pendingKeys = KeyInput().Tap('A').Character(L'\u00e9').Tap(VK_ESCAPE);
    HangGuard guard;
    ShowDialogModal(
        EditorLikeDialog(),
        [](HWND window, UINT message, WPARAM wParam, LPARAM) -> std::int32_t {
            if (message == WM_INITDIALOG) {
                PostMessageA(window, kAct, 0, 0);
            }
            if (message == kAct) {
                pendingKeys.Send();
            }
            if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
                EndDialogWith(window, 0);
            }
            return 0;
        },
        nullptr);
    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(recordedKeys, Keys{});
}
