#include "platform/Platform.h"
#include "runtime/ErrorNumber.h"
#include "runtime/TextFile.h"

#include "tests/native/runtime/FailAllocations.h"
#include "tests/support/StringContents.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// The line rules, stated plainly: the first Ctrl-Z ends the text, CR or CR LF ends a
// line, and bytes after the last line end make one more line.
Lines SplitLikeAFile(std::string bytes) {
    bytes = bytes.substr(0, bytes.find('\x1A'));
    Lines lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            lines.push_back(line);
            line.clear();
            open = false;
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += bytes[i];
            open = true;
        }
    }
    if (open) {
        lines.push_back(line);
    }
    return lines;
}

class TextFile : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ =
            std::filesystem::temp_directory_path() / (std::string("textfile-") + test->name() +
                                                      "-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(folder_);
        ClearErrorNumber();
    }

    void TearDown() override {
        for (FileNumber number = 0; number < 4; ++number) {
            FileClose(number);
        }
        std::filesystem::remove_all(folder_);
    }

    std::string Write(const std::string& bytes, const char* name = "file.txt") {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    std::string PathOf(const char* name) const { return (folder_ / name).string(); }

    // The editor's sequence: open, count, read that many lines, close; and then one read
    // too many, which must fail with 62 and give "".
    Lines ReadLikeTheEditor(const std::string& path, std::int32_t bufferSize = 128) {
        FileOpen(DynString(path.c_str()), 1, kFileEditorInput, bufferSize, 1);
        EXPECT_EQ(GetErrorNumber(), Err::None);
        const FileLineCountResult count = FileLineCount(1);
        Lines lines;
        for (std::uint64_t i = 0; i < count.count; ++i) {
            lines.push_back(Text(FileReadLine(1)));
        }
        EXPECT_EQ(GetErrorNumber(), Err::None);
        EXPECT_EQ(Text(FileReadLine(1)), "");
        EXPECT_EQ(GetErrorNumber(), Err::InputPastEnd);
        ClearErrorNumber();
        FileClose(1);
        return lines;
    }

    // All a reader sees of a file: the count, then every line with the error number after
    // it, a second count half-way, and two reads past the end.
    Lines Transcript(const std::string& path, std::uint16_t mode, std::int32_t bufferSize) {
        ClearErrorNumber();
        FileOpen(DynString(path.c_str()), 1, mode, bufferSize, 1);
        Lines seen;
        const auto note = [&](const std::string& what) {
            seen.push_back(what + "|" + std::to_string(GetErrorNumber()));
            ClearErrorNumber();
        };
        const FileLineCountResult count = FileLineCount(1);
        note(std::to_string(count.count) + "," + std::to_string(count.longest));
        for (std::uint64_t i = 0; i < count.count + 2; ++i) {
            note(Text(FileReadLine(1)));
            if (i == count.count / 2) {
                note(std::to_string(FileLineCount(1).count));
            }
        }
        FileClose(1);
        return seen;
    }

    std::filesystem::path folder_;
};

} // namespace

TEST_F(TextFile, LineEndsCtrlZAndTheLastLine) {
    const std::vector<std::pair<std::string, Lines>> cases = {
        {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a\nb\n"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\r\n\x1A"
         "b\r\n",
         {"a"}},
        {"", {}},
        {"\r\n", {""}},
        {"\r\r", {"", ""}},
        {"a\r", {"a"}},
        {"a\rb", {"a", "b"}},
        {"\n\r\n", {"\n"}},
        {"\x1A", {}},
        {"ab\x1A\r\n", {"ab"}},
        {std::string("a\0\tb\r\n", 6), {std::string("a\0\tb", 4)}},
    };
    for (const auto& [bytes, lines] : cases) {
        EXPECT_EQ(ReadLikeTheEditor(Write(bytes)), lines) << testing::PrintToString(bytes);
    }
}

TEST_F(TextFile, CountsLinesAndTheLongest) {
    FileOpen(DynString(Write("ab\r\ncdef\r\n\r\nxyz\nw").c_str()), 1, kFileEditorInput, 128, 1);
    const FileLineCountResult count = FileLineCount(1);
    EXPECT_EQ(count.count, 4u);
    EXPECT_EQ(count.longest, 5u); // 'xyz' LF 'w'
    EXPECT_EQ(count.bytes, 17u);
    EXPECT_EQ(FileOffset(1), 0u);
    FileReadLine(1);
    EXPECT_EQ(FileOffset(1), 4u); // after 'ab' CR LF
    FileReadLine(1);
    FileReadLine(1);
    EXPECT_EQ(FileOffset(1), 12u);
    FileClose(1);
    EXPECT_EQ(FileOffset(1), 0u);
    EXPECT_EQ(GetErrorNumber(), Err::BadFileNumber);
}

TEST_F(TextFile, ACtrlZIsNeverConsumed) {
    FileOpen(DynString(Write("a\x1A\r\nb").c_str()), 1, kFileEditorInput, 128, 1);
    EXPECT_EQ(FileLineCount(1).bytes, 1u);
    EXPECT_EQ(Text(FileReadLine(1)), "a");
    for (int i = 0; i < 3; ++i) {
        ClearErrorNumber();
        EXPECT_EQ(Text(FileReadLine(1)), "");
        EXPECT_EQ(GetErrorNumber(), Err::InputPastEnd);
    }
}

TEST_F(TextFile, PairsSplitAcrossTheReadBuffer) {
    const std::string line127(127, 'x');
    EXPECT_EQ(ReadLikeTheEditor(Write(line127 + "\r\nb")), (Lines{line127, "b"}));
    EXPECT_EQ(ReadLikeTheEditor(Write(line127 + "\r\rb")), (Lines{line127, "", "b"}));
    EXPECT_EQ(ReadLikeTheEditor(Write(line127 + "\r")), (Lines{line127}));
    const std::string line128(128, 'y');
    EXPECT_EQ(ReadLikeTheEditor(Write(line128 + "\r\n" + line128)), (Lines{line128, line128}));
    const std::string long1000(1000, 'z');
    EXPECT_EQ(ReadLikeTheEditor(Write(long1000 + "\r\n")), (Lines{long1000}));
}

TEST_F(TextFile, PairsSplitAcrossTheCountingBlock) {
    const std::string first(65535, 'a');
    const std::string path = Write(first + "\r\nb\r\n");
    FileOpen(DynString(path.c_str()), 1, kFileEditorInput, 128, 1);
    const FileLineCountResult count = FileLineCount(1);
    EXPECT_EQ(count.count, 2u);
    EXPECT_EQ(count.longest, 65535u);
    FileClose(1);
    EXPECT_EQ(ReadLikeTheEditor(path), (Lines{first, "b"}));

    // A block of exactly 65,536 bytes ending in CR; the LF opens the next block.
    const std::string exact(65535, 'c');
    EXPECT_EQ(ReadLikeTheEditor(Write(exact + "\r")), (Lines{exact}));
    EXPECT_EQ(ReadLikeTheEditor(Write(exact + "\r\n")), (Lines{exact}));
    EXPECT_EQ(ReadLikeTheEditor(Write(exact + "\r\r\n")), (Lines{exact, ""}));
    // The Ctrl-Z in the second block ends the count there.
    EXPECT_EQ(ReadLikeTheEditor(Write(std::string(70000, 'd') + "\x1A\r\ne\r\n")),
              (Lines{std::string(70000, 'd')}));
}

TEST_F(TextFile, RandomFilesReadAsTheLineRulesSay) {
    std::mt19937 random(7);
    const char alphabet[] = {'a', 'b', '\r', '\n', '\x1A', '\0'};
    const std::int32_t bufferSizes[] = {1, 2, 3, 7, 128};
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 300, ' ');
        for (char& byte : bytes) {
            // Ctrl-Z rarely, so most files have text after their first lines.
            const std::size_t pick = random() % 40;
            byte = pick < 36 ? alphabet[pick % 4] : alphabet[4 + pick % 2];
        }
        const std::int32_t bufferSize = bufferSizes[random() % 5];
        ASSERT_EQ(ReadLikeTheEditor(Write(bytes), bufferSize), SplitLikeAFile(bytes))
            << testing::PrintToString(bytes) << " buffer " << bufferSize;
    }
}

// Files nobody else may write are read ahead in large blocks; what a reader sees must be
// exactly what the re-reading 128-byte path gives, also where a line, a CR LF pair or a
// Ctrl-Z meets the edge of a read-ahead block.
TEST_F(TextFile, ReadingAheadSeesWhatTheSmallBufferSees) {
    std::mt19937 random(13);
    const std::uint16_t heldModes[] = {kFileEditorInput, 0x0180, 0x01A2};
    const std::int32_t bufferSizes[] = {1, 7, 128, 4096, 70000};
    const std::size_t edges[] = {65536, 131072};
    for (int round = 0; round < 40; ++round) {
        std::size_t size = random() % 300;
        if (round % 2 == 1) {
            size = edges[random() % 2] + random() % 9 - 4;
        } else if (round % 10 == 0) {
            size = random() % 200000;
        }
        // Some files have short lines, some lines of thousands of bytes.
        const std::uint32_t lineEvery = round % 3 == 0 ? 5000 : 6;
        std::string bytes(size, 'a');
        for (char& byte : bytes) {
            const std::uint32_t pick = random() % lineEvery;
            byte = pick == 0 ? '\r' : pick == 1 ? '\n' : pick == 2 ? '\0' : "ab"[random() % 2];
        }
        for (const std::size_t edge : edges) {
            if (edge + 1 < bytes.size() && random() % 2 == 0) {
                bytes[edge - 1] = '\r';
                bytes[edge] = '\n';
            }
        }
        if (!bytes.empty() && random() % 4 == 0) {
            bytes[random() % bytes.size()] = '\x1A';
        }
        const std::string path = Write(bytes);
        const std::uint16_t held = heldModes[random() % 3];
        const std::int32_t bufferSize = bufferSizes[random() % 5];
        ASSERT_EQ(Transcript(path, held, bufferSize), Transcript(path, 0x0184, 128))
            << "round " << round << " size " << size << " mode " << held << " buffer "
            << bufferSize;
    }
}

TEST_F(TextFile, TheErrorBoxesAreOffOnlyDuringEachCall) {
    SetErrorMode(0);
    FileOpen(DynString(Write("a\r\n").c_str()), 1, kFileEditorInput, 128, 1);
    EXPECT_EQ(SetErrorMode(0), 0u);
    EXPECT_EQ(FileLineCount(1).count, 1u);
    EXPECT_EQ(SetErrorMode(0), 0u);
    EXPECT_EQ(Text(FileReadLine(1)), "a");
    EXPECT_EQ(SetErrorMode(0), 0u);
    FileClose(1);
    EXPECT_EQ(SetErrorMode(0), 0u);
}

// A handle passed in is its owner's too: it is positioned before every read, and read in
// buffers of the size asked for, never ahead.
TEST_F(TextFile, AHandlePassedInIsPositionedBeforeEveryRead) {
    const std::string text = std::string(20, 'a') + "\r\n" + std::string(20, 'b') + "\r\n" +
                             std::string(30, 'x') + "\r\nccc\r\n";
    const std::string path = Write(text);
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    SetFilePointer(handle, 30, nullptr, FILE_BEGIN); // where its owner left it
    FileOpen(DynString(), 1, kFileEditorInput, 16, 1, handle);
    ASSERT_EQ(GetErrorNumber(), Err::None);
    EXPECT_EQ(Text(FileReadLine(1)), std::string(20, 'a'));
    SetFilePointer(handle, 0, nullptr, FILE_END); // moved by its owner between two reads
    EXPECT_EQ(Text(FileReadLine(1)), std::string(20, 'b'));
    EXPECT_EQ(FileLineCount(1).count, 4u);
    // Changed beyond the buffers read so far, the file shows the change.
    Write(text.substr(0, 76) + "ddd\r\n");
    EXPECT_EQ(Text(FileReadLine(1)), std::string(30, 'x'));
    EXPECT_EQ(Text(FileReadLine(1)), "ddd");
    EXPECT_EQ(GetErrorNumber(), Err::None);
    FileClose(1);
    EXPECT_TRUE(CloseHandle(handle));
}

TEST_F(TextFile, CountingBetweenReadsLeavesThePlace) {
    FileOpen(DynString(Write(std::string(200, 'a') + "\r\nsecond\r\nthird").c_str()), 1,
             kFileEditorInput, 128, 1);
    EXPECT_EQ(Text(FileReadLine(1)), std::string(200, 'a'));
    EXPECT_EQ(FileLineCount(1).count, 3u);
    EXPECT_EQ(Text(FileReadLine(1)), "second");
    EXPECT_EQ(FileLineCount(1).count, 3u);
    EXPECT_EQ(Text(FileReadLine(1)), "third");
}

TEST_F(TextFile, OpenFailuresLeaveTheNumberFree) {
    FileOpen(DynString(PathOf("missing.txt").c_str()), 1, kFileEditorInput, 128, 1);
    EXPECT_EQ(GetErrorNumber(), Err::FileNotFound);
    ClearErrorNumber();
    EXPECT_EQ(Text(FileReadLine(1)), "");
    EXPECT_EQ(GetErrorNumber(), Err::BadFileNumber);
    ClearErrorNumber();
    EXPECT_EQ(FileLineCount(1).count, 0u);
    EXPECT_EQ(GetErrorNumber(), Err::BadFileNumber);

    FileOpen(DynString(PathOf("no-folder/file.txt").c_str()), 1, kFileEditorInput, 128, 1);
    EXPECT_EQ(GetErrorNumber(), Err::PathNotFound);

    FileOpen(DynString(folder_.string().c_str()), 1, kFileEditorInput, 128, 1);
    EXPECT_EQ(GetErrorNumber(), Err::AccessDenied); // a folder is not a file

    ClearErrorNumber();
    FileClose(1); // not open: nothing happens
    EXPECT_EQ(GetErrorNumber(), Err::None);
}

TEST_F(TextFile, RefusedRequests) {
    const std::string path = Write("a\r\n");
    const DynString name(path.c_str());
    const std::vector<std::tuple<DynString, FileNumber, std::uint16_t, std::int32_t, ErrorNumber>>
        cases = {
            {DynString(), 1, kFileEditorInput, 128, Err::BadFileName},
            {DynString("a*b"), 1, kFileEditorInput, 128, Err::BadFileName},
            {DynString("a?"), 1, kFileEditorInput, 128, Err::BadFileName},
            {DynString(std::string(path + std::string("\0x", 2)).c_str(),
                       static_cast<std::uint32_t>(path.size() + 2)),
             1, kFileEditorInput, 128, Err::BadFileName},
            {DynString(std::string(256, 'n').c_str()), 1, kFileEditorInput, 128, Err::BadFileName},
            {name, -1, kFileEditorInput, 128, Err::BadFileNumber},
            {name, 1, 0x02A1, 128, Err::BadFileMode},
            {name, 1, 0x08A1, 128, Err::BadFileMode},
            {name, 1, kFileEditorInput, 0, Err::InvalidArgument},
        };
    for (const auto& [file, number, mode, size, error] : cases) {
        ClearErrorNumber();
        FileOpen(file, number, mode, size, 1);
        EXPECT_EQ(GetErrorNumber(), error) << number << " " << mode << " " << size;
        ClearErrorNumber();
        FileReadLine(number);
        EXPECT_EQ(GetErrorNumber(), Err::BadFileNumber);
    }
}

// Each number reads its own file, whatever was opened and closed under other numbers in
// between: low numbers are found without the lock, others by walking the table.
TEST_F(TextFile, EachNumberReadsItsOwnFile) {
    const FileNumber numbers[] = {0, 1, 2, 63, 64, 1000, 32767};
    std::map<FileNumber, std::string> paths;
    for (const FileNumber number : numbers) {
        const std::string name = std::to_string(number);
        paths[number] =
            Write(name + ":1\r\n" + name + ":2\r\n" + name + ":3\r\n", (name + ".txt").c_str());
    }
    std::map<FileNumber, int> linesRead; // the open numbers
    std::mt19937 random(22);
    for (int step = 0; step < 600; ++step) {
        const FileNumber number = numbers[random() % 7];
        const std::string name = std::to_string(number);
        const bool open = linesRead.count(number) > 0;
        ClearErrorNumber();
        switch (random() % 4) {
        case 0:
            FileOpen(DynString(paths[number].c_str()), number, kFileEditorInput, 7, 1);
            EXPECT_EQ(GetErrorNumber(), open ? Err::FileAlreadyOpen : Err::None) << name;
            linesRead.emplace(number, 0);
            break;
        case 1:
            FileClose(number);
            linesRead.erase(number);
            break;
        default: {
            const int line = open ? ++linesRead[number] : 0;
            const std::string expected =
                line >= 1 && line <= 3 ? name + ":" + std::to_string(line) : "";
            EXPECT_EQ(Text(FileReadLine(number)), expected) << name << " step " << step;
            EXPECT_EQ(GetErrorNumber(), !open      ? Err::BadFileNumber
                                        : line > 3 ? Err::InputPastEnd
                                                   : Err::None)
                << name << " step " << step;
        }
        }
    }
    for (const FileNumber number : numbers) {
        FileClose(number);
    }
}

TEST_F(TextFile, ANumberOpenTwiceIsRefused) {
    const DynString name(Write("first\r\n").c_str());
    FileOpen(name, 1, kFileEditorInput, 128, 1);
    ASSERT_EQ(GetErrorNumber(), Err::None);
    FileOpen(DynString(Write("other\r\n", "other.txt").c_str()), 1, 0x0183, 128, 1);
    EXPECT_EQ(GetErrorNumber(), Err::FileAlreadyOpen);
    EXPECT_EQ(Text(FileReadLine(1)), "first");
}

TEST_F(TextFile, AFileHeldWithoutSharingIsLocked) {
    const std::string path = Write("a\r\n");
    const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    FileOpen(DynString(path.c_str()), 1, kFileEditorInput, 128, 1);
    EXPECT_EQ(GetErrorNumber(), Err::AccessDenied);
    CloseHandle(held);

    // The editor's own open shares nothing either.
    ClearErrorNumber();
    FileOpen(DynString(path.c_str()), 1, kFileEditorInput, 128, 1);
    FileOpen(DynString(path.c_str()), 2, 0x0184, 128, 1);
    EXPECT_EQ(GetErrorNumber(), Err::AccessDenied);
}

TEST_F(TextFile, SharedForWritingEveryByteIsReadAfresh) {
    const std::string path = Write("a\r\nb\r\n");
    FileOpen(DynString(path.c_str()), 1, 0x0184, 128, 1); // others may read and write
    ASSERT_EQ(GetErrorNumber(), Err::None);
    EXPECT_EQ(Text(FileReadLine(1)), "a");
    Write("a\r\nc\r\n");
    EXPECT_EQ(Text(FileReadLine(1)), "c");
}

#ifndef _WIN32
// A file that others may not write is read ahead. Only the stand-in shows it: it lets this
// test's own writer, which does not go through it, change the file; the real platform
// refuses any writer while the file is open so.
TEST_F(TextFile, NotSharedForWritingIsReadAhead) {
    const std::string path = Write("a\r\nb\r\n");
    FileOpen(DynString(path.c_str()), 2, 0x01A2, 128, 1); // others may read
    ASSERT_EQ(GetErrorNumber(), Err::None);
    EXPECT_EQ(Text(FileReadLine(2)), "a");
    Write("a\r\nc\r\n");
    EXPECT_EQ(Text(FileReadLine(2)), "b"); // still the buffer read before the change
}
#endif

TEST_F(TextFile, NoMemoryForTheControlBlock) {
    if (!kAllocationsCanFail) {
        GTEST_SKIP() << "the real allocator cannot be made to fail";
    }
    const DynString name(Write("a\r\n").c_str());
    {
        FailAllocations failing;
        FileOpen(name, 1, kFileEditorInput, 128, 1);
    }
    EXPECT_EQ(GetErrorNumber(), Err::OutOfMemory);
    ClearErrorNumber();
    FileReadLine(1);
    EXPECT_EQ(GetErrorNumber(), Err::BadFileNumber);
    // The file is not left held: it opens at once.
    ClearErrorNumber();
    FileOpen(name, 1, kFileEditorInput, 128, 1);
    EXPECT_EQ(GetErrorNumber(), Err::None);
    {
        FailAllocations failing;
        EXPECT_EQ(FileLineCount(1).count, 0u);
    }
    EXPECT_EQ(GetErrorNumber(), Err::OutOfMemory);
}
