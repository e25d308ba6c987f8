// The progress window of a long load, watched from inside the load: it appears owned by
// the start dialog, its bar advances with the bytes read, and it is gone when the load
// ends. A quick load shows nothing. The window paints on its own thread, so each look
// waits (a while at most) for the bar to reach the length the report asks for.
#include "editor/LoadProgress.h"
#include "editor/ProgramState.h"
#include "editor/TextLoading.h"
#include "runtime/StringArray.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Sample {
    HWND window;
    HWND owner;
    int filled; // pixels of the bar's middle row in the highlight colour
};

std::vector<Sample> samples;

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
bool WatchingReport(std::uint64_t bytesRead, std::uint64_t bytesToRead) noexcept {
    LoadProgressWindow::Report(bytesRead, bytesToRead);
    if (samples.size() % 8 != 0) {
        samples.push_back(samples.back());
        return true;
    }
    Sample sample{FindProgressWindow(), nullptr, 0};
    if (sample.window != nullptr) {
        sample.owner = GetWindow(sample.window, GW_OWNER);
        // The bar's inside is the client's width less two 12-pixel margins and its frame;
        // rounding may take one pixel.
        RECT client{};
        GetClientRect(sample.window, &client);
        const int expected = static_cast<int>(static_cast<std::uint64_t>(client.right - 26) *
                                              bytesRead / bytesToRead) -
                             1;
        for (int tries = 0; tries < 200; ++tries) {
            sample.filled = FilledPixels(sample.window);
            if (sample.filled >= expected) {
                break;
            }
            Sleep(10);
        }
    }
    samples.push_back(sample);
    return true;
}

class LoadProgress : public ::testing::Test {
  protected:
    void SetUp() override {
        samples.clear();
        owner_ = CreateWindowExA(0, "STATIC", "Test", WS_POPUP | WS_VISIBLE, 100, 100, 400, 100,
                                 nullptr, nullptr, nullptr, nullptr);
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

    HWND owner_ = nullptr;
    std::string path_;
};

} // namespace

TEST_F(LoadProgress, TheBarFollowsALongLoadAndGoesWithIt) {
    WriteLines(200000);
    {
        // Shown at once and updated at every report, so that a fast machine shows it too.
        const LoadProgressWindow progress(owner_, DynString("load-progress.txt"), 0, 0);
        LoadTextFile(DynString(path_.c_str()), WatchingReport);
    }
    EXPECT_EQ(FindProgressWindow(), nullptr);
    ASSERT_GT(samples.size(), 10u);
    for (const Sample& sample : samples) {
        ASSERT_NE(sample.window, nullptr);
        EXPECT_EQ(sample.owner, owner_);
    }
    for (std::size_t i = 1; i < samples.size(); ++i) {
        EXPECT_GE(samples[i].filled, samples[i - 1].filled);
    }
    EXPECT_EQ(samples.front().filled, 0);  // reported before the first line
    EXPECT_GT(samples.back().filled, 250); // most of the bar
    EXPECT_EQ(ArrayUpperBound(LineArray), 200000);
}

TEST_F(LoadProgress, AQuickLoadShowsNothing) {
    WriteLines(20000);
    {
        const LoadProgressWindow progress(owner_, DynString("load-progress.txt"));
        LoadTextFile(DynString(path_.c_str()), WatchingReport);
    }
    ASSERT_FALSE(samples.empty());
    for (const Sample& sample : samples) {
        EXPECT_EQ(sample.window, nullptr);
    }
    EXPECT_EQ(FindProgressWindow(), nullptr);
}
