// Files that are not ordinary text, loaded as the editor loads them: each gives the text
// its line rules say, or the empty text, and nothing is lost, cut or read past its end.
// The large ones are written in the test, to a temporary folder.
#include "editor/ProgramState.h"
#include "editor/TextLoading.h"
#include "runtime/StringArray.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

class BadInputFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("bad-input-files-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }

    void TearDown() override {
        ArrayErase(LineArray);
        std::filesystem::remove_all(folder_);
    }

    // Writes count copies of the piece and loads the file.
    void LoadRepeated(const std::string& piece, std::size_t count) {
        const std::filesystem::path file = folder_ / "text.txt";
        {
            std::ofstream out(file, std::ios::binary);
            std::string chunk;
            const std::size_t perChunk = std::max<std::size_t>(1, (1 << 20) / piece.size());
            for (std::size_t i = 0; i < perChunk; ++i) {
                chunk += piece;
            }
            for (std::size_t left = count; left > 0;) {
                const std::size_t n = std::min(left, perChunk);
                out.write(chunk.data(), static_cast<std::streamsize>(n * piece.size()));
                left -= n;
            }
        }
        LoadTextFile(DynString(file.c_str()));
    }

    void Load(const std::string& bytes) { LoadRepeated(bytes, bytes.empty() ? 0 : 1); }

    static void ExpectEmptyText() {
        EXPECT_EQ(ArrayUpperBound(LineArray), 0);
        EXPECT_EQ(LineArray.LowerBound(), 0);
        EXPECT_TRUE(LineArray[0].IsEmpty());
    }

    std::filesystem::path folder_;
};

TEST_F(BadInputFiles, AFolderOrAMissingFileCannotBeOpened) {
    for (const std::filesystem::path& path : {folder_, folder_ / "missing" / "text.txt"}) {
        Load("old text\r\n");
        EXPECT_EQ(LoadTextFile(DynString(path.c_str())).result, LoadResult::CannotOpen) << path;
        EXPECT_FALSE(LineArray.IsCreated()) << path;
    }
}

TEST_F(BadInputFiles, ACtrlZFirstGivesTheEmptyText) {
    Load("\x1a"
         "after\r\nthe end\r\n");
    ExpectEmptyText();
}

TEST_F(BadInputFiles, BinaryBytesStayInTheirLines) {
    // Every byte value but CR and Ctrl-Z, NULs among them, in one line; then a CR.
    std::string line;
    for (int i = 0; i < 256; ++i) {
        if (i != '\r' && i != 0x1a) {
            line += static_cast<char>(i);
        }
    }
    Load(line + line + "\r" + std::string(3, '\0'));
    ASSERT_EQ(ArrayUpperBound(LineArray), 2);
    EXPECT_EQ(LineArray[1].Length(), 2 * line.size());
    // Converted only up to the first NUL, the line's first byte: nothing changes.
    EXPECT_EQ(LineArray[1].View(), line + line);
    EXPECT_EQ(LineArray[2].View(), std::string(3, '\0'));
}

TEST_F(BadInputFiles, OnlyCrsGiveEmptyLinesAndOnlyLfsOneLine) {
    LoadRepeated("\r", 1000);
    ASSERT_EQ(ArrayUpperBound(LineArray), 1000);
    EXPECT_TRUE(LineArray[1].IsEmpty());
    EXPECT_TRUE(LineArray[1000].IsEmpty());

    LoadRepeated("\n", 1000);
    ASSERT_EQ(ArrayUpperBound(LineArray), 1);
    EXPECT_EQ(LineArray[1].View(), std::string(1000, '\n'));
}

TEST_F(BadInputFiles, AHundredMegabyteLineArrivesWhole) {
    const std::size_t length = 100u << 20;
    LoadRepeated("0123456789abcdef", length / 16);
    ASSERT_EQ(ArrayUpperBound(LineArray), 1);
    const std::string_view line = LineArray[1].View();
    ASSERT_EQ(line.size(), length);
    EXPECT_EQ(line.substr(0, 16), "0123456789abcdef");
    EXPECT_EQ(line.substr(length - 16), "0123456789abcdef");
    EXPECT_EQ(line.substr(length / 2 - 8, 16), "89abcdef01234567");
}

TEST_F(BadInputFiles, TenMillionEmptyLines) {
    LoadRepeated("\r\n", 10'000'000);
    ASSERT_EQ(ArrayUpperBound(LineArray), 10'000'000);
    EXPECT_TRUE(LineArray[1].IsEmpty());
    EXPECT_TRUE(LineArray[10'000'000].IsEmpty());
}

} // namespace
