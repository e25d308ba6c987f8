#include "editor/TextLoading.h"

#include "editor/ProgramState.h"
#include "runtime/StringArray.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class TextLoading : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("text-loading-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }

    void TearDown() override {
        ArrayErase(LineArray);
        std::filesystem::remove_all(folder_);
    }

    // Writes the bytes to a file and loads it.
    std::vector<std::string> Load(const std::string& bytes) {
        const std::filesystem::path file = folder_ / "text.txt";
        std::ofstream(file, std::ios::binary) << bytes;
        LoadTextFile(DynString(file.c_str()));
        return Lines();
    }

    static std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        for (std::int32_t i = 1; i <= ArrayUpperBound(LineArray); ++i) {
            lines.emplace_back(LineArray[i].View());
        }
        return lines;
    }

    std::filesystem::path folder_;
};

TEST_F(TextLoading, AnEmptyFileGivesTheEmptyText) {
    EXPECT_TRUE(Load("").empty());
    EXPECT_EQ(ArrayUpperBound(LineArray), 0);
    EXPECT_EQ(LineArray.LowerBound(), 0);
    EXPECT_TRUE(LineArray[0].IsEmpty());
}

TEST_F(TextLoading, LinesEndAtCrOrCrLf) {
    EXPECT_EQ(Load("one\r\ntwo\r\n"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Load("one\r\ntwo"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Load("one\rtwo\r\r\n"), (std::vector<std::string>{"one", "two", ""}));
    EXPECT_TRUE(LineArray[0].IsEmpty());
}

TEST_F(TextLoading, ALoneLfIsAnOrdinaryByte) {
    EXPECT_EQ(Load("one\ntwo\n"), (std::vector<std::string>{"one\ntwo\n"}));
}

TEST_F(TextLoading, TheTextEndsAtTheFirstCtrlZ) {
    EXPECT_EQ(Load("one\r\ntw\x1a"
                   "o\r\nthree"),
              (std::vector<std::string>{"one", "tw"}));
}

TEST_F(TextLoading, TabsAndTrailingSpacesStay) {
    EXPECT_EQ(Load("\ta  \r\n  "), (std::vector<std::string>{"\ta  ", "  "}));
}

TEST_F(TextLoading, OemLettersBecomeTheSameAnsiLetters) {
    // e grave, a umlaut and c cedilla of code page 437 as code page 1252 has them.
    EXPECT_EQ(Load("caff\x8a\r\n\x84\x87"), (std::vector<std::string>{"caff\xe8", "\xe4\xe7"}));
}

TEST_F(TextLoading, ConversionStopsAtTheFirstNul) {
    const std::vector<std::string> lines = Load(std::string("\x8a\0\x8a", 3));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string("\xe8\0\x8a", 3));
}

std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;

void RecordReport(std::uint64_t bytesRead, std::uint64_t bytesToRead) noexcept {
    reports.emplace_back(bytesRead, bytesToRead);
}

TEST_F(TextLoading, ReportsTheBytesReadEveryFewThousandLines) {
    // 10,000 lines of 8 bytes and CR LF, then bytes after a Ctrl-Z that are not text.
    std::string bytes;
    for (int i = 0; i < 10000; ++i) {
        bytes += "line    \r\n";
    }
    reports.clear();
    const std::filesystem::path file = folder_ / "text.txt";
    std::ofstream(file, std::ios::binary) << bytes << "\x1A tail";
    LoadTextFile(DynString(file.c_str()), RecordReport);
    EXPECT_EQ(ArrayUpperBound(LineArray), 10000);
    const std::vector<std::pair<std::uint64_t, std::uint64_t>> expected = {
        {0, 100000}, {4096 * 10, 100000}, {8192 * 10, 100000}};
    EXPECT_EQ(reports, expected);
}

TEST_F(TextLoading, AMissingFileGivesTheEmptyText) {
    Load("old\r\ntext");
    LoadTextFile(DynString((folder_ / "missing.txt").c_str()));
    EXPECT_EQ(ArrayUpperBound(LineArray), 0);
    EXPECT_TRUE(LineArray[0].IsEmpty());
}

TEST_F(TextLoading, LoadingAgainDiscardsTheEdits) {
    Load("one\r\ntwo");
    LineArray[1] = "edited";
    LineArray[0] = "typed into element 0";
    LoadTextFile(DynString((folder_ / "text.txt").c_str()));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "two"}));
    EXPECT_TRUE(LineArray[0].IsEmpty());
}

} // namespace
