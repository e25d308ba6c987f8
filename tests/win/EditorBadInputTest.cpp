// The editor against bad input from outside: background pictures that cannot be drawn,
// and a text file that another process holds. The editor must still open and draw, on
// white, and a held file cannot be opened.
#include "canvas/Canvas.h"
#include "editor/ProgramState.h"
#include "editor/TextLoading.h"
#include "runtime/ErrorNumber.h"
#include "runtime/TextFile.h"
#include "tests/support/BitmapMaker.h"
#include "tests/win/support/BitmapFiles.h"
#include "tests/win/support/EditorWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xFF0000;
// Below the first text row, its guide line and the cursor cell nothing is drawn but the
// background (at 9 points a row is 14 pixels high).
constexpr int kFirstBackgroundRow = 40;

// The canvas's pixels from the given row down.
PixelGrid RowsFrom(const PixelGrid& pixels, int row) {
    return PixelGrid(pixels.begin() + row * kWidth, pixels.end());
}

// What the editor's first screen over a fondo.bmp left behind.
struct FirstScreen {
    PixelGrid background;
    PixelGrid canvas;
    std::string title;
    std::vector<std::string> text;
};

// Runs the editor's first screen in the folder, as the first screen of a fresh run.
FirstScreen OpenIn(const TempFolder& folder) {
    char previous[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(folder.Path().c_str());
    backgroundBits = DynString();

    FirstScreen screen;
    {
        EditorWindow editor(kWidth, kHeight, {"abc", "de"});
        screen.background = FromSnapshot(backgroundBits);
        CanvasAttach(editor.Window(), EditorWindow::kCanvasId, 0);
        screen.canvas = FromSnapshot(CanvasGetPixels());
        char title[512] = "";
        GetWindowTextA(editor.Window(), title, sizeof title);
        screen.title = title;
        screen.text = TextLines();
    }
    SetCurrentDirectoryA(previous);
    backgroundBits = DynString();
    return screen;
}

// The same in a folder that holds fondo.bmp with these bytes (none when bytes is null).
FirstScreen OpenWithBackground(const std::string* bytes) {
    TempFolder folder;
    if (bytes != nullptr) {
        folder.Write("fondo.bmp", *bytes);
    }
    return OpenIn(folder);
}

// A 1-bit fondo.bmp of width x height pixels, all of them red.
std::string RedPicture(std::uint32_t width, std::uint32_t height) {
    BitmapPicture picture;
    picture.bitCount = 1;
    picture.palette = {kRed, kRed};
    picture.pixels = {0};
    std::string bytes = MakeBitmapFile(picture);
    PutField(bytes, BitmapField::kWidth, width);
    PutField(bytes, BitmapField::kHeight, height);
    bytes.resize(62 + (width + 31) / 32 * 4 * height);
    PutField(bytes, BitmapField::kFileSize, static_cast<std::uint32_t>(bytes.size()));
    return bytes;
}

// The editor opened over a background that could not be drawn: white below the text,
// the text drawn, the title and the text as they were.
void ExpectWhiteScreenWithText(const FirstScreen& screen, const char* name) {
    const PixelGrid white(static_cast<std::size_t>(kWidth) * kHeight, kWhite);
    EXPECT_EQ(screen.background, white) << name;
    ASSERT_EQ(screen.canvas.size(), white.size()) << name;
    EXPECT_EQ(RowsFrom(screen.canvas, kFirstBackgroundRow), RowsFrom(white, kFirstBackgroundRow))
        << name;
    EXPECT_NE(screen.canvas, white) << name << ": the text is drawn";
    EXPECT_NE(screen.title.find("V: 1 O: 1 Insert ON"), std::string::npos) << name;
    EXPECT_EQ(screen.text, (std::vector<std::string>{"abc", "de"})) << name;
}

// Holds a file without sharing in a process of its own: this program started again
// with the file's name and two events, the first set once the file is held, the second
// awaited before letting it go.
constexpr char kHoldSwitch[] = "--hold-file";
// Starting a process takes many seconds on a loaded machine; the waits only keep a process
// that never answers from hanging the test.
constexpr DWORD kPatienceMilliseconds = 120000;

int HoldFile(const char* path, const char* heldEvent, const char* releaseEvent) {
    const HANDLE file =
        CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, heldEvent);
    const HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, releaseEvent);
    if (file == INVALID_HANDLE_VALUE || held == nullptr || release == nullptr) {
        return 1;
    }
    SetEvent(held);
    WaitForSingleObject(release, kPatienceMilliseconds);
    CloseHandle(file);
    CloseHandle(held);
    CloseHandle(release);
    return 0;
}

class OtherProcessHolds {
  public:
    explicit OtherProcessHolds(const std::string& path) {
        const std::string id = std::to_string(GetCurrentProcessId());
        const std::string heldName = "talvermoor-held-" + id;
        const std::string releaseName = "talvermoor-release-" + id;
        held_ = CreateEventA(nullptr, TRUE, FALSE, heldName.c_str());
        release_ = CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str());
        char program[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, program, MAX_PATH);
        std::string command = std::string("\"") + program + "\" " + kHoldSwitch + " \"" + path +
                              "\" " + heldName + " " + releaseName;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process_)) {
            CloseHandle(process_.hThread);
            const HANDLE either[] = {held_, process_.hProcess};
            holding_ =
                WaitForMultipleObjects(2, either, FALSE, kPatienceMilliseconds) == WAIT_OBJECT_0;
        }
    }

    ~OtherProcessHolds() { Release(); }

    bool Holding() const { return holding_; }

    void Release() {
        if (process_.hProcess == nullptr) {
            return;
        }
        SetEvent(release_);
        WaitForSingleObject(process_.hProcess, kPatienceMilliseconds);
        CloseHandle(process_.hProcess);
        process_.hProcess = nullptr;
        CloseHandle(held_);
        CloseHandle(release_);
    }

  private:
    HANDLE held_ = nullptr;
    HANDLE release_ = nullptr;
    PROCESS_INFORMATION process_{};
    bool holding_ = false;
};

} // namespace

TEST(EditorBadInput, BackgroundPicturesThatCannotBeDrawnLeaveTheScreenWhite) {
    const std::string good = BitmapFileBytes(4, 4, PixelGrid(16, kRed));
    std::string wrongMagic = good;
    wrongMagic[0] = 'X';
    std::string absurd = good; // claims 100000 x 100000 pixels
    absurd[18] = absurd[22] = '\xA0';
    absurd[19] = absurd[23] = '\x86';
    absurd[20] = absurd[24] = '\x01';
    // A run of 200 pixels in a row of 4.
    const std::string runPastTheRow = RunLengthFileBytes(
        4, 2, 8, {kRed, kRed}, std::string("\xC8\x01\x00\x00\x04\x00\x00\x01", 8), 8);
    const std::string empty;
    const std::string truncated = good.substr(0, 60);
    const struct {
        const char* name;
        const std::string* bytes;
    } cases[] = {
        {"missing", nullptr},           {"empty", &empty},
        {"truncated", &truncated},      {"wrong magic", &wrongMagic},
        {"absurd dimensions", &absurd}, {"run past the row", &runPastTheRow},
    };
    for (const auto& bad : cases) {
        ExpectWhiteScreenWithText(OpenWithBackground(bad.bytes), bad.name);
    }

    // The same screen over a good picture is red where no text is, whichever row the
    // file stores first.
    BitmapPicture topDown;
    topDown.bitCount = 8;
    topDown.width = 16;
    topDown.height = -16;
    topDown.palette = {kRed};
    topDown.pixels.assign(256, 0);
    const std::string topDownBytes = MakeBitmapFile(topDown);
    for (const std::string* picture : {&good, &topDownBytes}) {
        const FirstScreen red = OpenWithBackground(picture);
        ASSERT_EQ(red.canvas.size(), std::size_t{kWidth} * kHeight);
        EXPECT_EQ(RowsFrom(red.canvas, kFirstBackgroundRow),
                  PixelGrid(red.canvas.size() - kFirstBackgroundRow * kWidth, kRed));
    }
}

TEST(EditorBadInput, ABackgroundThatIsAFolderOrHeldByAnotherProcessLeavesTheScreenWhite) {
    {
        TempFolder folder;
        const std::string inside = folder.Path() + "\\fondo.bmp";
        ASSERT_TRUE(CreateDirectoryA(inside.c_str(), nullptr));
        ExpectWhiteScreenWithText(OpenIn(folder), "a folder");
        RemoveDirectoryA(inside.c_str());
    }
    TempFolder folder;
    const std::string path = folder.Write("fondo.bmp", RedPicture(4, 4));
    OtherProcessHolds other(path);
    ASSERT_TRUE(other.Holding());
    ExpectWhiteScreenWithText(OpenIn(folder), "held by another process");
}

TEST(EditorBadInput, APictureOfTheSizeCapIsDrawnAndOneOfAPixelMoreIsNot) {
    const std::string overInOneRow = RedPicture((1u << 26) + 1, 1);
    ExpectWhiteScreenWithText(OpenWithBackground(&overInOneRow), "one pixel over the cap");

    const std::string atCap = RedPicture(8192, 8192);
    const FirstScreen red = OpenWithBackground(&atCap);
    ASSERT_EQ(red.canvas.size(), std::size_t{kWidth} * kHeight);
    EXPECT_EQ(RowsFrom(red.canvas, kFirstBackgroundRow),
              PixelGrid(red.canvas.size() - kFirstBackgroundRow * kWidth, kRed));
    EXPECT_EQ(red.text, (std::vector<std::string>{"abc", "de"}));
}

TEST(EditorBadInput, AFileHeldByAnotherProcessCannotBeOpened) {
    TempFolder folder;
    const std::string path = folder.Write("held.txt", "one\r\ntwo\r\n");
    {
        OtherProcessHolds other(path);
        ASSERT_TRUE(other.Holding());
        ClearErrorNumber();
        FileOpen(DynString(path), 2, kFileEditorInput, 128, 1);
        EXPECT_EQ(GetErrorNumber(), Err::AccessDenied); // 70: the sharing violation
        FileClose(2);

        ArrayRedim(LineArray, 0, 1);
        LineArray[1] = "old text";
        EXPECT_EQ(LoadTextFile(DynString(path)).result, LoadResult::CannotOpen);
        EXPECT_FALSE(LineArray.IsCreated());
    }
    LoadTextFile(DynString(path));
    EXPECT_EQ(TextLines(), (std::vector<std::string>{"one", "two"}));
    ArrayErase(LineArray);
}

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], kHoldSwitch) == 0) {
        return HoldFile(argv[2], argv[3], argv[4]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
