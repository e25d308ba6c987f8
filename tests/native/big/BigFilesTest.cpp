// Files at the edges of what a load holds, natively: sparse where the file system allows,
// so that gigabytes cost little disk. They live in TALVERMOOR_BIG_DATA and go when done.
#include "editor/ProgramState.h"
#include "editor/TextLoading.h"
#include "runtime/ErrorNumber.h"
#include "runtime/StringArray.h"
#include "runtime/TextFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

class BigFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* folder = std::getenv("TALVERMOOR_BIG_DATA");
        ASSERT_NE(folder, nullptr) << "TALVERMOOR_BIG_DATA names the folder for the files";
        path_ = std::filesystem::path(folder) / ("big-files-" + std::to_string(::getpid()));
    }
    void TearDown() override {
        ArrayErase(LineArray);
        std::filesystem::remove(path_);
    }

    // A file of the given length whose bytes are NUL (a hole) but for the pieces written at
    // their offsets.
    void MakeSparse(std::uint64_t length,
                    const std::vector<std::pair<std::uint64_t, std::string>>& pieces) const {
        std::ofstream(path_, std::ios::binary).close();
        std::filesystem::resize_file(path_, length);
        std::fstream file(path_, std::ios::binary | std::ios::in | std::ios::out);
        for (const auto& [offset, bytes] : pieces) {
            file.seekp(static_cast<std::streamoff>(offset));
            file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
    }

    // A file of count CRs: count empty lines.
    void MakeEmptyLines(std::uint64_t count) const {
        std::ofstream file(path_, std::ios::binary);
        const std::string block(1 << 20, '\r');
        for (std::uint64_t left = count; left > 0;) {
            const std::uint64_t n = std::min<std::uint64_t>(left, block.size());
            file.write(block.data(), static_cast<std::streamsize>(n));
            left -= n;
        }
    }

    LoadOutcome Load(const LoadLimits& limits = DefaultLoadLimits()) const {
        return LoadTextFile(DynString(path_.c_str()), nullptr, limits);
    }

    std::filesystem::path path_;
};

} // namespace

// 2^31 - 1 bytes are the longest line a string holds: such a line loads whole, one byte
// more is refused before anything is read.
TEST_F(BigFiles, ALineOfTwoGibibytesIsTooLongAndOneByteLessLoads) {
    MakeSparse(2 * kGiB + 4, {{2 * kGiB, "\r\nok"}});
    const LoadOutcome tooLong = Load();
    EXPECT_EQ(tooLong.result, LoadResult::LineTooLong);
    EXPECT_EQ(tooLong.lineCount, 2u);
    EXPECT_FALSE(LineArray.IsCreated());

    MakeSparse(2 * kGiB + 3, {{2 * kGiB - 1, "\r\nok"}});
    ASSERT_EQ(Load().result, LoadResult::Loaded);
    ASSERT_EQ(ArrayUpperBound(LineArray), 2);
    EXPECT_EQ(LineArray[1].Length(), 2 * kGiB - 1);
    EXPECT_EQ(LineArray[1].View().find_first_not_of('\0'), std::string_view::npos);
    EXPECT_EQ(LineArray[2].View(), "ok");
}

// Lines of a gibibyte each, the last ones beyond 4 GiB: the count, every read and the
// offset of the next byte go on past 32 bits.
TEST_F(BigFiles, ReadsGoOnPastFourGibibytes) {
    std::vector<std::pair<std::uint64_t, std::string>> pieces;
    for (std::uint64_t line = 1; line <= 4; ++line) {
        pieces.emplace_back(line * kGiB, "\r\n");
    }
    pieces.emplace_back(4 * kGiB + 2, "the last line\r\n");
    const std::uint64_t length = 4 * kGiB + 17;
    MakeSparse(length, pieces);

    ClearErrorNumber();
    FileOpen(DynString(path_.c_str()), 1, kFileEditorInput, 128, 1);
    const FileLineCountResult counted = FileLineCount(1);
    EXPECT_EQ(counted.count, 5u);
    EXPECT_EQ(counted.bytes, length);
    for (std::uint64_t line = 1; line <= 4; ++line) {
        EXPECT_EQ(FileReadLine(1).Length(), line == 1 ? kGiB : kGiB - 2) << line;
        EXPECT_EQ(FileOffset(1), line * kGiB + 2) << line; // where the next line starts
    }
    EXPECT_EQ(FileReadLine(1).View(), "the last line");
    EXPECT_EQ(FileOffset(1), length);
    EXPECT_EQ(GetErrorNumber(), Err::None);
    FileClose(1);
}

// 2^31 - 1 lines are the most the array's bounds hold: one more is refused, and as many
// are weighed against the memory they take (some 16 GiB of references alone).
TEST_F(BigFiles, MoreLinesThanTheArrayHoldsAreRefused) {
    MakeEmptyLines(std::uint64_t{1} << 31);
    const LoadOutcome tooMany = Load();
    EXPECT_EQ(tooMany.result, LoadResult::TooManyLines);
    EXPECT_EQ(tooMany.lineCount, std::uint64_t{1} << 31);

    std::filesystem::resize_file(path_, (std::uint64_t{1} << 31) - 1);
    const LoadLimits eightGiB{kLongestLine, INT32_MAX, []() noexcept { return 8 * kGiB; }};
    const LoadOutcome tooBig = Load(eightGiB);
    EXPECT_EQ(tooBig.result, LoadResult::NotEnoughMemory);
    EXPECT_EQ(tooBig.lineCount, (std::uint64_t{1} << 31) - 1);
    EXPECT_FALSE(LineArray.IsCreated());
}
