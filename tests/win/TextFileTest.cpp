// Numbered files against the real platform: its error codes for missing and folder names,
// and handles that are not disk files. Disk files, locks and sharing are checked by the
// runtime's portable tests (win.runtime_tests).
#include "platform/Platform.h"
#include "runtime/ErrorNumber.h"
#include "runtime/TextFile.h"
#include "tests/support/StringContents.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TextFile : public ::testing::Test {
  protected:
    void SetUp() override { ClearErrorNumber(); }
    void TearDown() override { FileClose(1); }
};

} // namespace

TEST_F(TextFile, MissingNamesAndFolders) {
    FileOpen(DynString("C:\\no-such-file.txt"), 1, kFileEditorInput, 128, 1);
    EXPECT_EQ(GetErrorNumber(), Err::FileNotFound);
    FileOpen(DynString("C:\\no-such-folder\\file.txt"), 1, kFileEditorInput, 128, 1);
    EXPECT_EQ(GetErrorNumber(), Err::PathNotFound);
    FileOpen(DynString("C:\\windows"), 1, kFileEditorInput, 128, 1);
    EXPECT_EQ(GetErrorNumber(), Err::AccessDenied);
    ClearErrorNumber();
    FileReadLine(1);
    EXPECT_EQ(GetErrorNumber(), Err::BadFileNumber);
}

TEST_F(TextFile, APipeIsReadByteByByte) {
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    ASSERT_TRUE(CreatePipe(&reader, &writer, nullptr, 0));
    DWORD written = 0;
    WriteFile(writer,
              "a\r\nb\x1A"
              "c\r",
              8, &written, nullptr);
    CloseHandle(writer);

    FileOpen(DynString(), 1, kFileEditorInput, 128, 1, reader);
    ASSERT_EQ(GetErrorNumber(), Err::None);
    EXPECT_EQ(Text(FileReadLine(1)), "a");
    EXPECT_EQ(Text(FileReadLine(1)), "\nb"); // no look-ahead: the LF starts the next line
    EXPECT_EQ(GetErrorNumber(), Err::None);
    for (int i = 0; i < 2; ++i) {
        ClearErrorNumber();
        EXPECT_EQ(Text(FileReadLine(1)), ""); // the Ctrl-Z stays in the way
        EXPECT_EQ(GetErrorNumber(), Err::InputPastEnd);
    }
    ClearErrorNumber();
    EXPECT_EQ(FileLineCount(1).count, 0u);
    EXPECT_EQ(GetErrorNumber(), Err::BadFileMode);

    FileClose(1);
    EXPECT_TRUE(CloseHandle(reader)); // the caller's handle is left open
}

TEST_F(TextFile, APipeEndsWhenItsWriterCloses) {
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    ASSERT_TRUE(CreatePipe(&reader, &writer, nullptr, 0));
    DWORD written = 0;
    WriteFile(writer, "x\ry", 3, &written, nullptr);
    CloseHandle(writer);
    FileOpen(DynString(), 1, kFileEditorInput, 128, 1, reader);
    EXPECT_EQ(Text(FileReadLine(1)), "x");
    EXPECT_EQ(Text(FileReadLine(1)), "y");
    EXPECT_EQ(GetErrorNumber(), Err::None);
    EXPECT_EQ(Text(FileReadLine(1)), "");
    EXPECT_EQ(GetErrorNumber(), Err::InputPastEnd);
    FileClose(1);
    CloseHandle(reader);
}
