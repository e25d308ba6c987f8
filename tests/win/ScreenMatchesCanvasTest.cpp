// Random runs of keys through the editor window's keyboard hook (moves, typing, Delete,
// Tab, Insert, zoom, Page Down and Page Up, the command menu and its operations): after
// every key, the screen shows exactly the canvas, pixel by pixel, wherever the window
// shows the canvas. Each screen update sends only what changed, so a changed pixel left
// out shows here.
#include "canvas/CanvasState.h"
#include "dialogs/KeyboardHook.h"
#include "dialogs/WindowRecord.h"
#include "editor/KeyProcessing.h"
#include "tests/win/support/CanvasHost.h"
#include "tests/win/support/EditorWindow.h"
#include "tests/win/support/KeyInput.h"
#include "tests/win/support/ThreadTimers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 320;
constexpr int kHiddenRows = 60;
constexpr int kKeysPerRun = 150;

struct Key {
    const char* name;
    WORD key;
    bool extended;
    bool control; // the left Control key held: zoom
};

const Key kKeys[] = {
    {"Down", VK_DOWN, true, false},         {"Up", VK_UP, true, false},
    {"Right", VK_RIGHT, true, false},       {"Left", VK_LEFT, true, false},
    {"Home", VK_HOME, true, false},         {"End", VK_END, true, false},
    {"Page Down", VK_NEXT, true, false},    {"Page Up", VK_PRIOR, true, false},
    {"Delete", VK_DELETE, true, false},     {"Tab", VK_TAB, false, false},
    {"Insert", VK_INSERT, true, false},     {"letter", 'K', false, false},
    {"space", VK_SPACE, false, false},      {"zoom in", VK_ADD, false, true},
    {"zoom out", VK_SUBTRACT, false, true}, {"F1", VK_F1, false, false},
};

// Each run opens with screens that change whole, come back, and change a little right after
// changing whole: a screen update that took what the screen shows from a stale copy would
// leave some of an earlier screen behind.
const std::size_t kOpening[] = {6, 7, 13, 0, 14, 1, 6, 1, 7}; // indexes into kKeys

struct KeyRun {
    HWND window = nullptr;
    HWND canvas = nullptr;
    std::mt19937 random;
    int sent = 0;      // keys sent to the editor
    int processed = 0; // keys the editor has finished
    std::vector<std::string> keys;
    std::vector<std::string> mismatches;
};

KeyRun run;

// The part of the canvas that its window shows: the canvas lies at the client area's
// origin and may reach beyond it.
RECT SeenPart() {
    RECT client{};
    GetClientRect(run.window, &client);
    RECT canvas{0, 0, kWidth, kHeight};
    RECT seen{};
    IntersectRect(&seen, &client, &canvas);
    return seen;
}

void CompareScreenWithCanvas() {
    WindowRecord* record = FindWindowRecord(run.canvas);
    if (record == nullptr) {
        run.mismatches.push_back("the canvas is gone after " + run.keys.back());
        return;
    }
    // Read as they are: a key leaves no clear held, and the canvas's own state stays as the
    // next key finds it.
    const PixelGrid drawn = ReadDcPixels(CanvasOf(*record).memoryDc, kWidth, kHeight);
    const PixelGrid shown = ReadScreenPixels(run.canvas, kWidth, kHeight);
    const RECT seen = SeenPart();
    int differing = 0;
    std::string first;
    for (int y = seen.top; y < seen.bottom; ++y) {
        for (int x = seen.left; x < seen.right; ++x) {
            if (drawn[y * kWidth + x] != shown[y * kWidth + x] && differing++ == 0) {
                first = std::to_string(x) + "," + std::to_string(y);
            }
        }
    }
    if (differing > 0) {
        run.mismatches.push_back("after key " + std::to_string(run.processed) + " (" +
                                 run.keys.back() + "): " + std::to_string(differing) +
                                 " pixels differ, the first at " + first);
    }
}

void CheckingKeyTarget(std::int32_t& scanCode, DynString& keyChar) noexcept {
    EditorKeyTarget(scanCode, keyChar);
    ++run.processed;
    CompareScreenWithCanvas();
}

// In the command menu: an operation (Down to it, Enter) or nothing (Esc).
void AnswerMenu() {
    KeyInput keys;
    const int choice = static_cast<int>(run.random() % 11);
    if (choice >= 9) {
        keys.Tap(VK_ESCAPE);
    } else {
        for (int i = 0; i < choice; ++i) {
            keys.Tap(VK_DOWN, true);
        }
        keys.Tap(VK_RETURN);
    }
    keys.Send();
}

// Each tick: once the editor has finished the last key, the next one; the menu is answered
// while it is in front; after the last key, Esc ends the editor.
void CALLBACK NextKey(HWND, UINT, UINT_PTR timer, DWORD) {
    char caption[64] = "";
    GetWindowTextA(GetForegroundWindow(), caption, sizeof caption);
    if (std::string(caption) == "Help") {
        if (run.keys.back() == "F1") {
            run.keys.back() = "F1, answered";
            AnswerMenu();
        }
        return;
    }
    if (GetForegroundWindow() != run.window || run.processed != run.sent) {
        return;
    }
    if (run.sent == kKeysPerRun) {
        KillTimer(nullptr, timer);
        run.keys.push_back("Esc");
        KeyInput().Tap(VK_ESCAPE).Send();
        return;
    }
    const std::size_t opening = sizeof kOpening / sizeof kOpening[0];
    const std::size_t sent = static_cast<std::size_t>(run.sent);
    const Key& key =
        kKeys[sent < opening ? kOpening[sent] : run.random() % (sizeof kKeys / sizeof kKeys[0])];
    KeyInput keys;
    if (key.control) {
        keys.Press(VK_CONTROL);
    }
    keys.Tap(key.key, key.extended);
    if (key.control) {
        keys.Release(VK_CONTROL);
    }
    run.keys.push_back(key.name);
    ++run.sent;
    keys.Send();
}

std::vector<std::string> Text() {
    std::vector<std::string> text;
    for (int i = 0; i < 80; ++i) {
        std::string line = "line " + std::to_string(i);
        for (int word = 0; word < i % 13; ++word) {
            line += " word" + std::string(static_cast<std::size_t>(word % 4), 'x');
        }
        text.push_back(i % 9 == 4 ? "" : line);
    }
    return text;
}

} // namespace

TEST(ScreenMatchesCanvas, AfterEveryKeyOfRandomRunsTheScreenShowsTheCanvas) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        run = KeyRun{};
        run.random.seed(seed);
        HangGuard guard;
        EditorWindow editor(kWidth, kHeight, Text());
        run.window = editor.Window();
        run.canvas = GetDlgItem(run.window, EditorWindow::kCanvasId);
        // The canvas reaches below the window, as the program's reaches below the screen.
        SetWindowPos(run.window, nullptr, 0, 0, kWidth, kHeight - kHiddenRows,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetKeyTarget(CheckingKeyTarget);
        SetTimer(nullptr, 0, 10, NextKey);
        editor.RunModal();

        EXPECT_FALSE(guard.Fired()) << "seed " << seed;
        EXPECT_EQ(run.processed, kKeysPerRun + 1) << "seed " << seed; // and Esc
        EXPECT_TRUE(run.mismatches.empty()) << "seed " << seed << ", " << run.mismatches.size()
                                            << " keys, the first " << run.mismatches.front();
    }
}
