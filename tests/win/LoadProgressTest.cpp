// The progress window of a long load, watched from inside the load on the loading thread:
// it appears owned by the start dialog, its bar advances with the load, it stops the load
// when asked, and it is gone when the load ends. A quick load shows nothing. Input meant
// for the owner is dropped, but for a request to close it.
#include "editor/LoadProgress.h"
#include "editor/ProgramState.h"
#include "editor/TextLoading.h"
#include "runtime/StringArray.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Sample {
    HWND window;
    HWND owner;
    int filled; // pixels of the bar's middle row in the highlight colour
};

std::vector<Sample> samples;
std::function<void(HWND)> onWindow; // done once, as soon as the window is there
int ownerInput = 0;                 // input messages that reached the owner's procedure

HWND FindProgressWindow() {
    return FindWindowA("TalvermoorLoadProgress", nullptr);
}

int FilledPixels(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    int filled = 0;
    for (int x = 0; x < client.right; ++x) {
        filled += GetPixel(dc, x, 49) == highlight ? 1 : 0;
    }
    ReleaseDC(window, dc);
    return filled;
}

// Passes the report on, then looks at the window the way a person would.
bool WatchingReport(std::uint64_t done, std::uint64_t total) noexcept {
    const bool goOn = LoadProgressWindow::Report(done, total);
    Sample sample{FindProgressWindow(), nullptr, 0};
    if (sample.window != nullptr) {
        sample.owner = GetWindow(sample.window, GW_OWNER);
        sample.filled = FilledPixels(sample.window);
        if (onWindow) {
            const auto act = std::move(onWindow);
            onWindow = nullptr;
            act(sample.window);
        }
    }
    samples.push_back(sample);
    return goOn;
}

LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
        (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
        (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK)) {
        ++ownerInput;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class LoadProgress : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        WNDCLASSA type{};
        type.lpfnWndProc = OwnerProcedure;
        type.hInstance = GetModuleHandleA(nullptr);
        type.lpszClassName = "LoadProgressOwner";
        RegisterClassA(&type);
    }

    void SetUp() override {
        samples.clear();
        onWindow = nullptr;
        ownerInput = 0;
        owner_ = CreateWindowExA(0, "LoadProgressOwner", "Test", WS_POPUP | WS_VISIBLE, 100, 100,
                                 400, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        path_ = (std::filesystem::temp_directory_path() / "load-progress.txt").string();
    }
    void TearDown() override {
        DestroyWindow(owner_);
        ArrayErase(LineArray);
        std::filesystem::remove(path_);
    }

    void WriteLines(int count) const {
        std::ofstream file(path_, std::ios::binary);
        for (int i = 0; i < count; ++i) {
            file << "line " << i << " of a text long enough to take a while\r\n";
        }
    }

    // Loads the file with a window shown at once and updated at every report, so that a
    // fast machine shows it too; answers how the load ended and why it was stopped.
    std::pair<LoadResult, LoadStop> LoadWatched() {
        LoadProgressWindow progress(owner_, DynString("load-progress.txt"), 0, 0);
        const LoadResult result = LoadTextFile(DynString(path_.c_str()), WatchingReport).result;
        return {result, progress.Finish()};
    }

    HWND owner_ = nullptr;
    std::string path_;
};

} // namespace

TEST_F(LoadProgress, TheBarFollowsALongLoadAndGoesWithIt) {
    WriteLines(200000);
    EXPECT_EQ(LoadWatched(), std::make_pair(LoadResult::Loaded, LoadStop::None));
    EXPECT_EQ(FindProgressWindow(), nullptr);
    ASSERT_GT(samples.size(), 10u);
    for (const Sample& sample : samples) {
        ASSERT_NE(sample.window, nullptr);
        EXPECT_EQ(sample.owner, owner_);
    }
    for (std::size_t i = 1; i < samples.size(); ++i) {
        EXPECT_GE(samples[i].filled, samples[i - 1].filled);
    }
    EXPECT_EQ(samples.front().filled, 0);  // reported before the first block
    EXPECT_GT(samples.back().filled, 250); // most of the bar
    EXPECT_EQ(ArrayUpperBound(LineArray), 200000);
}

TEST_F(LoadProgress, AQuickLoadShowsNothing) {
    WriteLines(20000);
    {
        LoadProgressWindow progress(owner_, DynString("load-progress.txt"));
        LoadTextFile(DynString(path_.c_str()), WatchingReport);
        EXPECT_EQ(progress.Finish(), LoadStop::None);
    }
    ASSERT_FALSE(samples.empty());
    for (const Sample& sample : samples) {
        EXPECT_EQ(sample.window, nullptr);
    }
    EXPECT_EQ(FindProgressWindow(), nullptr);
}

// Clicks and keys meant for the owner are dropped, during the load and after it; Esc,
// Alt+F4, a click on its close box or its callback's word stop the load.
TEST_F(LoadProgress, OnlyAClosingOfTheOwnerActsOnItsInput) {
    WriteLines(200000);
    onWindow = [this](HWND) {
        PostMessageA(owner_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        PostMessageA(owner_, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        PostMessageA(owner_, WM_KEYDOWN, 'A', 0x001E0001);
        PostMessageA(owner_, WM_CHAR, 'a', 0x001E0001);
    };
    EXPECT_EQ(LoadWatched(), std::make_pair(LoadResult::Loaded, LoadStop::None));
    PostMessageA(owner_, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    {
        LoadProgressWindow progress(owner_, DynString("load-progress.txt"), 0, 0);
        EXPECT_EQ(progress.Finish(), LoadStop::None); // input pressed as a load ends is dropped
    }
    MSG left{};
    EXPECT_FALSE(PeekMessageA(&left, nullptr, WM_KEYFIRST, WM_MOUSELAST, PM_REMOVE));
    EXPECT_EQ(ownerInput, 0);

    const std::function<void(HWND)> closings[] = {
        [this](HWND) { PostMessageA(owner_, WM_KEYDOWN, VK_ESCAPE, 0x00010001); },
        [this](HWND) { PostMessageA(owner_, WM_SYSKEYDOWN, VK_F4, 0x203E0001); },
        [this](HWND) { PostMessageA(owner_, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(480, 90)); },
        [](HWND) { LoadProgressWindow::OwnerClosing(); },
    };
    for (const auto& closing : closings) {
        onWindow = closing;
        EXPECT_EQ(LoadWatched(), std::make_pair(LoadResult::Stopped, LoadStop::OwnerClosed));
        EXPECT_FALSE(LineArray.IsCreated());
        EXPECT_TRUE(IsWindow(owner_));
    }
    EXPECT_EQ(ownerInput, 0);
}
