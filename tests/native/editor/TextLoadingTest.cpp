#include "editor/TextLoading.h"

#include "editor/ProgramState.h"
#include "runtime/StringArray.h"
#include "tests/native/runtime/FailAllocations.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

std::ostream& operator<<(std::ostream& out, LoadResult result) {
    return out << "LoadResult " << static_cast<int>(result);
}

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
std::size_t stopAtReport = 0; // the report of this number (1 the first) stops the load; 0 never

bool RecordReport(std::uint64_t done, std::uint64_t total) noexcept {
    reports.emplace_back(done, total);
    return reports.size() != stopAtReport;
}

// 10,000 lines of 8 bytes and CR LF: two blocks of the count, two reports of the reading.
std::string TenThousandLines() {
    std::string bytes;
    for (int i = 0; i < 10000; ++i) {
        bytes += "line    \r\n";
    }
    return bytes;
}

TEST_F(TextLoading, ReportsTheCountThenTheBytesReadEveryFewThousandLines) {
    // Bytes after a Ctrl-Z are not text.
    const std::string bytes = TenThousandLines() + "\x1A tail";
    reports.clear();
    stopAtReport = 0;
    const std::filesystem::path file = folder_ / "text.txt";
    std::ofstream(file, std::ios::binary) << bytes;
    EXPECT_EQ(LoadTextFile(DynString(file.c_str()), RecordReport).result, LoadResult::Loaded);
    EXPECT_EQ(ArrayUpperBound(LineArray), 10000);
    // The count, a ninth of the work, before each of its 64 KiB blocks; then the reading.
    const std::uint64_t length = bytes.size();
    const std::vector<std::pair<std::uint64_t, std::uint64_t>> expected = {
        {0, length / 8 + length},
        {65536 / 8, length / 8 + length},
        {100000 / 8 + 4096 * 10, 100000 / 8 + 100000},
        {100000 / 8 + 8192 * 10, 100000 / 8 + 100000}};
    EXPECT_EQ(reports, expected);
}

std::filesystem::path shortened;

bool ShortenTheFileAtTheFirstRead(std::uint64_t done, std::uint64_t total) noexcept {
    if (done > total / 9) {
        std::filesystem::resize_file(shortened, 0);
    }
    return true;
}

// A load stopped in the count or in the reading, or failing part-way for want of memory or
// of bytes (the file was cut while it loaded), lets go of what it read and says why.
TEST_F(TextLoading, ALoadThatCannotBeWholeKeepsNothing) {
    shortened = folder_ / "long.txt";
    std::ofstream(shortened, std::ios::binary) << TenThousandLines();
    const DynString name(shortened.c_str());
    for (const std::size_t stop : {1u, 2u, 3u, 4u}) {
        reports.clear();
        stopAtReport = stop;
        EXPECT_EQ(LoadTextFile(name, RecordReport).result, LoadResult::Stopped) << stop;
        EXPECT_EQ(reports.size(), stop);
        EXPECT_FALSE(LineArray.IsCreated()) << stop;
    }
    stopAtReport = 0;
    if (kAllocationsCanFail) {
        const FailAllocations failing(100);
        const LoadOutcome outcome = LoadTextFile(name);
        EXPECT_EQ(outcome.result, LoadResult::NotEnoughMemory);
        EXPECT_EQ(outcome.lineCount, 10000u);
        EXPECT_FALSE(LineArray.IsCreated());
    }
    const LoadOutcome outcome = LoadTextFile(name, ShortenTheFileAtTheFirstRead);
    EXPECT_EQ(outcome.result, LoadResult::ReadFailed);
    EXPECT_EQ(outcome.lineCount, 10000u);
    EXPECT_FALSE(LineArray.IsCreated());
}

TEST_F(TextLoading, LoadsAtTheEdgesOrSaysWhyNot) {
    static std::uint64_t available = 0;
    const LoadLimits limits{10, 3, []() noexcept { return available; }};
    struct Case {
        std::string bytes;
        std::uint64_t availableBytes;
        LoadResult result;
        std::uint64_t lineCount;
    };
    const Case cases[] = {
        {"", 1000, LoadResult::Loaded, 0},
        {"0123456789\r\nab", 1000, LoadResult::Loaded, 2},
        {"0123456789x\r\nab", 1000, LoadResult::LineTooLong, 2},
        {"a\rb\rc", 1000, LoadResult::Loaded, 3},
        {"a\rb\rc\rd", 1000, LoadResult::TooManyLines, 4},
        // 3 references; 4 bytes kept at most, since a line end may be a single byte; 2
        // strings of at most 12 bytes each beyond their bytes.
        {"ab\r\nc", 3 * 8 + 4 + 2 * 12, LoadResult::Loaded, 2},
        {"ab\r\nc", 3 * 8 + 4 + 2 * 12 - 1, LoadResult::NotEnoughMemory, 2},
    };
    for (const Case& c : cases) {
        Load("old\r\ntext");
        std::ofstream(folder_ / "edge.txt", std::ios::binary) << c.bytes;
        available = c.availableBytes;
        const LoadOutcome outcome =
            LoadTextFile(DynString((folder_ / "edge.txt").c_str()), nullptr, limits);
        EXPECT_EQ(outcome.result, c.result) << c.bytes;
        EXPECT_EQ(outcome.lineCount, c.lineCount) << c.bytes;
        EXPECT_EQ(ArrayUpperBound(LineArray),
                  c.result == LoadResult::Loaded ? static_cast<std::int32_t>(c.lineCount) : -1)
            << c.bytes;
    }
}

// The estimate bounds what the lines take: every line end counted as one byte, every
// string as rounded up the most.
TEST(LoadMemoryEstimate, BoundsTheArrayAndTheStringsOfTheText) {
    const struct {
        std::uint64_t lines;
        std::uint64_t bytes;
        std::uint64_t estimate;
    } cases[] = {
        {0, 0, 8},
        {1, 10, 2 * 8 + 10 + 12},                   // one line without a line end
        {2, 2, 3 * 8 + 1 + 12},                     // "\rx": one string
        {2000000000, 2000000000, 16000000008 + 13}, // empty lines: the references alone
        {440000000, 4400000000, 3520000008 + 3960000001 + 5280000000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoadMemoryEstimate(c.lines, c.bytes), c.estimate) << c.lines << " " << c.bytes;
    }
}

TEST_F(TextLoading, AMissingFileCannotBeOpenedAndLeavesNoText) {
    Load("old\r\ntext");
    const LoadOutcome outcome = LoadTextFile(DynString((folder_ / "missing.txt").c_str()));
    EXPECT_EQ(outcome.result, LoadResult::CannotOpen);
    EXPECT_FALSE(LineArray.IsCreated());
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
