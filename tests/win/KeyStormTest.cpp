// Ten thousand keys into the editor window as fast as SendInput delivers them, through
// the keyboard hook: the window survives them, every typed letter lands exactly once and
// no line is lost or made.
#include "tests/win/support/EditorWindow.h"
#include "tests/win/support/KeyInput.h"
#include "tests/win/support/ThreadTimers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kKeys = 10000;
constexpr int kKeysPerBatch = 250;

struct Storm {
    HWND window = nullptr;
    std::mt19937 random{4711};
    int sent = 0;
    int letters = 0;
};

Storm storm;

// One batch of keys a tick once the editor is in front; after the last one, Esc.
void CALLBACK SendBatch(HWND, UINT, UINT_PTR timer, DWORD) {
    if (GetForegroundWindow() != storm.window) {
        return;
    }
    static const struct {
        WORD key;
        bool extended;
    } moves[] = {{VK_LEFT, true}, {VK_RIGHT, true}, {VK_UP, true},    {VK_DOWN, true},
                 {VK_HOME, true}, {VK_END, true},   {VK_PRIOR, true}, {VK_NEXT, true}};
    KeyInput keys;
    for (int i = 0; i < kKeysPerBatch && storm.sent < kKeys; ++i, ++storm.sent) {
        const int roll = static_cast<int>(storm.random() % 10);
        if (roll < 4) {
            keys.Tap(static_cast<WORD>('A' + storm.random() % 26));
            ++storm.letters;
        } else {
            const auto& move = moves[storm.random() % (sizeof moves / sizeof moves[0])];
            keys.Tap(move.key, move.extended);
        }
    }
    if (storm.sent == kKeys) {
        KillTimer(nullptr, timer);
        keys.Tap(VK_ESCAPE);
    }
    keys.Send();
}

std::size_t NonSpaceBytes(const std::vector<std::string>& lines) {
    std::size_t count = 0;
    for (const std::string& line : lines) {
        count += line.size() - static_cast<std::size_t>(std::count(line.begin(), line.end(), ' '));
    }
    return count;
}

} // namespace

TEST(KeyStorm, TenThousandKeysAllArriveAndTheTextStaysWhole) {
    std::vector<std::string> text;
    for (int i = 0; i < 60; ++i) {
        text.push_back("line " + std::to_string(i) + " with some words in it");
    }
    const std::size_t before = NonSpaceBytes(text);

    HangGuard guard;
    EditorWindow editor(320, 240, text);
    storm.window = editor.Window();
    SetTimer(nullptr, 0, 10, SendBatch);
    editor.RunModal();

    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(storm.sent, kKeys);
    EXPECT_FALSE(IsWindow(editor.Window())); // Esc, the last key, ended it
    const std::vector<std::string> after = TextLines();
    EXPECT_EQ(after.size(), text.size());
    // Each letter was typed in insert mode exactly once; the moves change no byte.
    EXPECT_EQ(NonSpaceBytes(after), before + static_cast<std::size_t>(storm.letters));
}
