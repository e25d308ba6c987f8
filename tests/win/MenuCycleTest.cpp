// The command menu opened and cancelled a thousand times: no window, drawing object or
// other user-interface object is left behind by any of the runs.
#include "dialogs/CommandMenu.h"
#include "dialogs/KeyboardHook.h"
#include "tests/win/support/KeyInput.h"
#include "tests/win/support/ThreadTimers.h"

#include <gtest/gtest.h>

namespace {

std::int32_t OpenAndCancel() {
    WhenForeground("Help", [] { KeyInput().Tap(VK_ESCAPE).Send(); });
    const std::int32_t chosen = ShowCommandMenu(nullptr);
    RemoveKeyboardHook(); // the menu puts the editor's hook back as it closes
    return chosen;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

// The process's drawing objects. Where GetGuiResources is not implemented (Wine answers
// 0), the live objects of the handle table are counted instead: there a handle whose
// upper word is 0 names whatever object holds that index.
DWORD DrawingObjects() {
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0) {
        return count;
    }
    for (UINT_PTR index = 1; index < 0x10000; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) {
            ++count;
        }
    }
    return count;
}

// The process's user-interface objects; where GetGuiResources answers 0, the windows of
// this thread with all their children.
DWORD UserObjects() {
    const DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (count != 0) {
        return count;
    }
    int windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    return static_cast<DWORD>(windows);
}

} // namespace

TEST(MenuCycle, AThousandCancelledMenusLeaveNoObjectsBehind) {
    HangGuard guard;
    // The first runs make what lives for the whole process (classes, shared brushes).
    for (int i = 0; i < 3; ++i) {
        OpenAndCancel();
    }
    const DWORD drawingBefore = DrawingObjects();
    const DWORD userBefore = UserObjects();

    int cancelled = 0;
    for (int i = 0; i < 1000 && !guard.Fired(); ++i) {
        cancelled += OpenAndCancel() == 0 ? 1 : 0;
    }

    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(cancelled, 1000);
    EXPECT_EQ(DrawingObjects(), drawingBefore);
    EXPECT_EQ(UserObjects(), userBefore);
}
