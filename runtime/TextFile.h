// The numbered sequential text files: a file is opened under a FileNumber, its lines are
// counted and read one by one, and it is closed.
//
// Line rules of the whole system: CR or CR LF ends a line; an LF that does not follow a
// CR is an ordinary byte; the first Ctrl-Z ends the text; bytes after the last line end
// form one more line. Failures set an error number and give "" or 0. Only the input
// mode is offered; FileOpen refuses the others with error 54.
#pragma once

#include "runtime/DynString.h"

#include <cstdint>

using FileNumber = std::int16_t;

// Mode word: the high byte selects the mode, the low byte access and sharing.
constexpr std::uint16_t kFileInput = 0x0100;
constexpr std::uint16_t kFileReadAccess = 0x0080;
constexpr std::uint16_t kFileWriteAccess = 0x0040;
constexpr std::uint16_t kFileAccessStated = 0x0020;
// Share selector s in the low three bits, passed to the system as share mode s - 1:
// 1 no sharing, 2 others may read, 3 others may write, 4 both.
constexpr std::uint16_t kFileShareNone = 1;

// The longest line a read gives: 2^31 - 1 bytes.
constexpr std::uint32_t kLongestLine = 0x7FFFFFFF;

// The editor's request: input, read access stated, no sharing.
constexpr std::uint16_t kFileEditorInput = 0x01A1;

struct FileLineCountResult {
    std::uint64_t count;   // number of lines
    std::uint32_t longest; // bytes of the longest line, line ends excluded
    std::uint64_t bytes;   // bytes of the text: the file up to its first Ctrl-Z
};

// Told after each block of a line count how many bytes of the file's length have been
// scanned; answering false stops the count, which then answers 0 lines.
using FileScanReport = bool (*)(std::uint64_t scanned, std::uint64_t length,
                                void* context) noexcept;

void FileOpen(const DynString& name, FileNumber number, std::uint16_t mode, std::int32_t bufferSize,
              std::int32_t base, void* existingHandle = nullptr) noexcept;
FileLineCountResult FileLineCount(FileNumber number, FileScanReport report = nullptr,
                                  void* context = nullptr) noexcept;
DynString FileReadLine(FileNumber number) noexcept;
// The file offset of the next byte FileReadLine takes; 0 with error 52 when not open.
std::uint64_t FileOffset(FileNumber number) noexcept;
void FileClose(FileNumber number) noexcept;
