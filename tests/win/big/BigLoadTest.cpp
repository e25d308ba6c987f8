// A text past 4 GiB of short lines, loaded under Wine as the program loads it: 440 million
// lines of "abcdefgh". Their strings take some 107,000 chunks of the string store; when
// each chunk was a system allocation of its own, the process ran out of memory mappings
// (the kernel allows some 65,000), and the first thread to end then killed it. The file
// lives in TALVERMOOR_BIG_DATA_WINDOWS and goes when done; the load takes some 11 GB.
#include "editor/ProgramState.h"
#include "editor/TextLoading.h"
#include "platform/Platform.h"
#include "runtime/MemoryStatus.h"
#include "runtime/StringArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr std::uint64_t kLines = 440ull * 1000 * 1000;
constexpr std::size_t kBlockLines = 1 << 16;

std::uint64_t mostDone = 0;

bool RecordReport(std::uint64_t done, std::uint64_t) noexcept {
    mostDone = std::max(mostDone, done);
    return true;
}

DWORD WINAPI EndAtOnce(void*) {
    return 7;
}

} // namespace

TEST(BigLoad, AFileOfShortLinesPastFourGibibytesLoads) {
    const char* folder = std::getenv("TALVERMOOR_BIG_DATA_WINDOWS");
    ASSERT_NE(folder, nullptr) << "TALVERMOOR_BIG_DATA_WINDOWS names the folder for the file";
    const std::uint64_t written = (kLines + kBlockLines - 1) / kBlockLines * kBlockLines;
    const std::uint64_t length = written * 10 + 13;
    if (AvailableMemoryBytes() < LoadMemoryEstimate(written + 1, length)) {
        GTEST_SKIP() << "the text needs " << LoadMemoryEstimate(written + 1, length) / 1000000
                     << " MB of memory";
    }
    const std::string path = std::string(folder) + "\\big-load.txt";
    {
        std::string block;
        for (std::size_t i = 0; i < kBlockLines; ++i) {
            block += "abcdefgh\r\n";
        }
        std::ofstream file(path, std::ios::binary);
        for (std::uint64_t line = 0; line < written; line += kBlockLines) {
            file.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
        file << "the last line";
    }

    const LoadOutcome outcome = LoadTextFile(DynString(path.c_str()), RecordReport);
    std::remove(path.c_str());
    ASSERT_EQ(static_cast<int>(outcome.result), static_cast<int>(LoadResult::Loaded));
    EXPECT_EQ(outcome.lineCount, written + 1);
    EXPECT_GT(mostDone, std::uint64_t{1} << 32); // the progress counts past 32 bits
    ASSERT_EQ(ArrayUpperBound(LineArray), static_cast<std::int32_t>(written + 1));
    EXPECT_EQ(LineArray[1].View(), "abcdefgh");
    EXPECT_EQ(LineArray[static_cast<std::int32_t>(written)].View(), "abcdefgh");
    EXPECT_EQ(LineArray[static_cast<std::int32_t>(written + 1)].View(), "the last line");

    // A thread made and ended with the text loaded: the process still maps what it needs.
    HANDLE thread = CreateThread(nullptr, 0, EndAtOnce, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 7u);
    CloseHandle(thread);
    ArrayErase(LineArray);
}
