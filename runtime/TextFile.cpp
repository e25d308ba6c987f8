#include "runtime/TextFile.h"

#include "platform/Platform.h"
#include "runtime/ApiCallGate.h"
#include "runtime/ErrorNumber.h"
#include "runtime/FileTable.h"
#include "runtime/LineStop.h"
#include "runtime/SpinLock.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Held for the whole of an open, so that opens never overlap.
SpinLock openLock;

constexpr std::uint32_t kScanBlockSize = 65536;
// What a disk file that nobody else may write reads at once, whatever buffer was asked for.
constexpr std::uint32_t kReadAheadSize = 65536;
constexpr std::uint32_t kLongestName = 255;

// The number for a failed system call: its mapped error, or 51 when it left none.
void SetFailure(ErrorNumber mapped) noexcept {
    SetErrorNumber(mapped != Err::None ? mapped : Err::Internal);
}

HANDLE HandleOf(const FileControlBlock& block) noexcept {
    return static_cast<HANDLE>(block.handle);
}

bool SeekTo(HANDLE handle, std::int64_t offset) noexcept {
    LONG high = static_cast<LONG>(offset >> 32);
    const auto low = static_cast<LONG>(static_cast<std::uint32_t>(offset));
    const auto gate = ApiCallGate([&] { return SetFilePointer(handle, low, &high, FILE_BEGIN); });
    if (gate.value == INVALID_SET_FILE_POINTER && gate.error != Err::None) {
        SetFailure(gate.error);
        return false;
    }
    return true;
}

// The file's length in bytes, found by moving to its end; false with the error number set.
bool LengthOf(HANDLE handle, std::uint64_t& length) noexcept {
    LONG high = 0;
    const auto gate = ApiCallGate([&] { return SetFilePointer(handle, 0, &high, FILE_END); });
    if (gate.value == INVALID_SET_FILE_POINTER && gate.error != Err::None) {
        SetFailure(gate.error);
        return false;
    }
    length = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << 32) | gate.value;
    return true;
}

// Reads up to size bytes into buffer; false with the error number set on failure. The
// end of a pipe whose writer has gone counts as the end of the file.
bool ReadBytes(HANDLE handle, char* buffer, std::uint32_t size, std::uint32_t& got) noexcept {
    DWORD count = 0;
    const auto gate = ApiCallGate([&] {
        BOOL done = ReadFile(handle, buffer, size, &count, nullptr);
        if (!done && GetLastError() == ERROR_BROKEN_PIPE) {
            SetLastError(0);
            count = 0;
            done = TRUE;
        }
        return done;
    });
    if (!gate.value) {
        SetFailure(gate.error);
        return false;
    }
    got = count;
    return true;
}

// Fills the buffer with the bytes from offset on: a disk file reads a whole buffer (the
// larger read-ahead buffer where the file was opened here and nobody else may write it,
// the size asked for otherwise), any other handle one byte, having no position to set.
// Only a handle of our own that already stands at the offset is not positioned again:
// the caller of a handle it passed in may have moved it meanwhile.
bool Refill(FileControlBlock& block, std::int64_t offset) noexcept {
    const HANDLE handle = HandleOf(block);
    if (block.isDisk && (!block.readsAhead || block.position != offset)) {
        block.position = -1;
        if (!SeekTo(handle, offset)) {
            return false;
        }
    }
    const std::uint32_t size = !block.isDisk      ? 1
                               : block.readsAhead ? block.capacity
                                                  : block.bufferSize;
    std::uint32_t got = 0;
    if (!ReadBytes(handle, block.Buffer(), size, got)) {
        return false;
    }
    block.bufferOffset = offset;
    block.position = offset + got;
    block.index = 0;
    block.valid = got;
    return true;
}

// Makes the next unread byte available; false with the error number set on failure. At
// the end of the file the buffer is left empty (index == valid).
bool FetchByte(FileControlBlock& block) noexcept {
    if (block.rereads) {
        return Refill(block, block.bufferOffset + block.index);
    }
    if (block.index < block.valid) {
        return true;
    }
    return Refill(block, block.bufferOffset + block.valid);
}

// A line being read: the first 256 bytes in place, then a heap block that doubles, so a
// long line costs linear time.
class LineBuilder {
  public:
    LineBuilder() = default;
    LineBuilder(const LineBuilder&) = delete;
    LineBuilder& operator=(const LineBuilder&) = delete;
    ~LineBuilder() {
        if (heap_ != nullptr) {
            std::free(heap_);
        }
    }

    // False when the line would outgrow a string or memory runs out.
    bool Append(const char* bytes, std::uint32_t count) noexcept {
        if (count == 0) {
            return true;
        }
        const std::uint64_t needed = std::uint64_t{size_} + count;
        if (needed > kLongestLine) {
            return false;
        }
        if (needed > capacity_) {
            std::uint64_t capacity = std::uint64_t{capacity_} * 2;
            if (capacity < needed) {
                capacity = needed;
            }
            if (capacity > kLongestLine) {
                capacity = kLongestLine;
            }
            auto* grown =
                static_cast<char*>(std::realloc(heap_, static_cast<std::size_t>(capacity)));
            if (grown == nullptr) {
                return false;
            }
            if (heap_ == nullptr) {
                std::memcpy(grown, inPlace_, size_);
            }
            heap_ = grown;
            capacity_ = static_cast<std::uint32_t>(capacity);
        }
        std::memcpy(Data() + size_, bytes, count);
        size_ = static_cast<std::uint32_t>(needed);
        return true;
    }

    std::uint32_t Size() const noexcept { return size_; }
    DynString ToString() const noexcept { return DynString(Data(), size_); }

  private:
    char* Data() noexcept { return heap_ != nullptr ? heap_ : inPlace_; }
    const char* Data() const noexcept { return heap_ != nullptr ? heap_ : inPlace_; }

    char inPlace_[256];
    char* heap_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = sizeof inPlace_;
};

// The unread bytes of the buffer up to the next CR or Ctrl-Z, or up to its end when it
// holds neither; they are taken as read, the CR or Ctrl-Z is not.
enum class PieceEnd { BufferEnd, Cr, TextEnd };
struct LinePiece {
    const char* bytes;
    std::uint32_t count;
    PieceEnd end;
};

LinePiece TakePiece(FileControlBlock& block) noexcept {
    const char* first = block.Buffer() + block.index;
    const char* const end = block.Buffer() + block.valid;
    const char* stop = FindLineStop(first, end);
    const auto count = static_cast<std::uint32_t>(stop - first);
    block.index += count;
    return {first, count,
            stop == end        ? PieceEnd::BufferEnd
            : *stop == kLineCr ? PieceEnd::Cr
                               : PieceEnd::TextEnd};
}

// The line a CR ends, its last piece included; the CR and the LF of a CR LF pair are
// taken as read. A line that lies whole in the buffer is taken from there, before a
// refill for the LF can overwrite it.
DynString EndedLine(FileControlBlock& block, LineBuilder& line, const LinePiece& last) noexcept {
    DynString result;
    if (line.Size() == 0) {
        result = DynString(last.bytes, last.count);
    } else if (line.Append(last.bytes, last.count)) {
        result = line.ToString();
    } else {
        SetErrorNumber(Err::OutOfMemory);
        return {};
    }
    ++block.index; // the CR
    // A disk file looks ahead for the LF of a CR LF pair; other handles leave it unread.
    if (block.isDisk) {
        if (!FetchByte(block)) {
            return {};
        }
        if (block.index < block.valid && block.Buffer()[block.index] == kLineLf) {
            ++block.index;
        }
    }
    return result;
}

// The line the end of the file or of the text ends: nothing left is a read past the end.
DynString LastLine(const LineBuilder& line) noexcept {
    if (line.Size() == 0) {
        SetErrorNumber(Err::InputPastEnd);
        return {};
    }
    return line.ToString();
}

// Counts lines over consecutive blocks of a file: CR ends a line, an LF right after a CR
// (also in the next block) belongs to that line end, and bytes after the last line end
// make one more line.
class LineCounter {
  public:
    // Counts the lines of the next block; false when a Ctrl-Z in it ended the text, and
    // then nothing after it is looked at.
    bool Scan(const char* bytes, std::uint32_t count) noexcept {
        const char* at = bytes;
        const char* const end = bytes + count;
        if (afterCr_ && at < end && *at == kLineLf) {
            ++at;
        }
        afterCr_ = false;
        for (;;) {
            const char* stop = FindLineStop(at, end);
            current_ += static_cast<std::uint64_t>(stop - at);
            if (stop == end || *stop == kTextEnd) {
                bytes_ += static_cast<std::uint64_t>(stop - bytes);
                return stop == end;
            }
            EndLine();
            at = stop + 1;
            if (at == end) {
                afterCr_ = true;
            } else if (*at == kLineLf) {
                ++at;
            }
        }
    }

    FileLineCountResult Finish() noexcept {
        if (current_ > 0) {
            EndLine();
        }
        return {lines_, longest_ > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(longest_),
                bytes_};
    }

  private:
    void EndLine() noexcept {
        ++lines_;
        if (current_ > longest_) {
            longest_ = current_;
        }
        current_ = 0;
    }

    std::uint64_t lines_ = 0;
    std::uint64_t longest_ = 0;
    std::uint64_t current_ = 0; // bytes of the line being counted
    std::uint64_t bytes_ = 0;   // bytes scanned
    bool afterCr_ = false;      // the last block ended with a CR
};

struct MemoryBlockRelease {
    void operator()(void* block) const noexcept { GlobalFree(block); }
};
using MemoryBlock = std::unique_ptr<void, MemoryBlockRelease>;

bool IsBadName(const DynString& name) noexcept {
    const std::string_view bytes = name.View();
    // A longer name is refused rather than cut, which could open some other file.
    return bytes.empty() || bytes.size() > kLongestName ||
           bytes.find_first_of(std::string_view("*?\0", 3)) != std::string_view::npos;
}

// Opens the named file for reading; false with the error number set.
bool OpenHandle(const DynString& name, std::uint16_t mode, HANDLE& handle) noexcept {
    DWORD access = 0;
    if (mode & kFileReadAccess) {
        access |= GENERIC_READ;
    }
    if (mode & kFileWriteAccess) {
        access |= GENERIC_WRITE;
    }
    if (access == 0) {
        access = GENERIC_READ; // input reads, whatever was left unsaid
    }
    const unsigned selector = mode & 7u;
    const DWORD share = selector == 0 ? 0 : selector - 1;
    for (;;) {
        SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        const auto gate = ApiCallGate([&] {
            return CreateFileA(name.Bytes(), access, share, &security, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        });
        if (gate.value != INVALID_HANDLE_VALUE) {
            handle = gate.value;
            return true;
        }
        // Write access that was only implied is given up before the open fails.
        if (!(mode & kFileAccessStated) && (access & GENERIC_WRITE)) {
            access = GENERIC_READ;
            continue;
        }
        SetFailure(gate.error);
        return false;
    }
}

// Why an open is refused before anything is made, or Err::None.
ErrorNumber RefusalOf(const DynString& name, FileNumber number, std::uint16_t mode,
                      std::int32_t bufferSize, void* existingHandle) noexcept {
    if ((existingHandle == nullptr || !name.IsEmpty()) && IsBadName(name)) {
        return Err::BadFileName;
    }
    if (number < 0) {
        return Err::BadFileNumber;
    }
    // Only sequential input is offered: nothing in the system writes a file, so output,
    // append, random and the further modes are refused rather than half-supported.
    if ((mode & 0xFF00) != kFileInput) {
        return Err::BadFileMode;
    }
    if (bufferSize < 1) {
        return Err::InvalidArgument;
    }
    if (FileTableFind(number) != nullptr) {
        return Err::FileAlreadyOpen;
    }
    return Err::None;
}

// How a file will be read, from its request alone; the handle's kind decides the rest.
// While others may write to the file, every byte is read afresh to see their changes.
// A file opened here that nobody else may write cannot change underneath, and is read
// ahead; a handle passed in is read in buffers of the size asked for, from where the
// file stands for this number, whatever its owner did with it meanwhile.
struct ReadingPlan {
    bool othersMayWrite;
    bool readsAhead;
};

ReadingPlan PlanReading(std::uint16_t mode, void* existingHandle) noexcept {
    const unsigned selector = mode & 7u;
    const bool othersMayWrite = selector == 3 || selector == 4;
    return {othersMayWrite, existingHandle == nullptr && !othersMayWrite};
}

// Gives the block the handle passed in, or one opened here on the name; false with the
// error number set.
bool AttachHandle(FileControlBlock& block, const DynString& name, std::uint16_t mode,
                  void* existingHandle) noexcept {
    if (existingHandle != nullptr) {
        block.handle = existingHandle;
        return true;
    }
    HANDLE handle = nullptr;
    if (!OpenHandle(name, mode, handle)) {
        return false;
    }
    block.handle = handle;
    block.ownsHandle = true;
    return true;
}

// Only a disk file is read through the buffer; the plan holds for it alone.
void SetKind(FileControlBlock& block, ReadingPlan plan) noexcept {
    const auto type = ApiCallGate([&] { return GetFileType(HandleOf(block)); });
    block.isDisk = type.value == FILE_TYPE_DISK;
    block.rereads = block.isDisk && plan.othersMayWrite;
    block.readsAhead = block.isDisk && plan.readsAhead;
}

// A disk file's first buffer is read at once; false with the read's error number set,
// and the handle this open obtained closed again.
bool FillFirstBuffer(FileControlBlock& block) noexcept {
    if (!block.isDisk || Refill(block, 0)) {
        return true;
    }
    if (block.ownsHandle) {
        ApiCallGate([&] { return CloseHandle(HandleOf(block)); });
    }
    return false;
}

} // namespace

void FileOpen(const DynString& name, FileNumber number, std::uint16_t mode, std::int32_t bufferSize,
              std::int32_t /*base: record numbering of random files only*/,
              void* existingHandle) noexcept {
    SpinLockGuard guard(openLock);
    if (const ErrorNumber refused = RefusalOf(name, number, mode, bufferSize, existingHandle);
        refused != Err::None) {
        SetErrorNumber(refused);
        return;
    }
    const ReadingPlan plan = PlanReading(mode, existingHandle);
    FileControlBlockPtr block = NewFileControlBlock(number, static_cast<std::uint32_t>(bufferSize),
                                                    plan.readsAhead ? kReadAheadSize : 0);
    if (block == nullptr || !AttachHandle(*block, name, mode, existingHandle)) {
        return;
    }
    SetKind(*block, plan);
    if (!FillFirstBuffer(*block)) {
        return;
    }
    FileTableLink(std::move(block));
}

FileLineCountResult FileLineCount(FileNumber number, FileScanReport report,
                                  void* context) noexcept {
    FileControlBlock* block = FileTableFind(number);
    if (block == nullptr) {
        SetErrorNumber(Err::BadFileNumber);
        return {0, 0, 0};
    }
    if (!block->isDisk) {
        SetErrorNumber(Err::BadFileMode);
        return {0, 0, 0};
    }
    const MemoryBlock scan(GlobalAlloc(GMEM_FIXED, kScanBlockSize));
    if (scan == nullptr) {
        SetErrorNumber(Err::OutOfMemory);
        return {0, 0, 0};
    }
    auto* bytes = static_cast<char*>(scan.get());
    const HANDLE handle = HandleOf(*block);
    block->position = -1;
    std::uint64_t length = 0;
    if ((report != nullptr && !LengthOf(handle, length)) || !SeekTo(handle, 0)) {
        return {0, 0, 0};
    }
    LineCounter counter;
    for (std::uint64_t scanned = 0;; scanned += kScanBlockSize) {
        if (report != nullptr && !report(scanned, length, context)) {
            return {0, 0, 0};
        }
        std::uint32_t got = 0;
        if (!ReadBytes(handle, bytes, kScanBlockSize, got)) {
            return {0, 0, 0};
        }
        if (!counter.Scan(bytes, got) || got < kScanBlockSize) {
            break;
        }
    }
    // Back to where the buffer was read from, so that reading goes on unchanged.
    if (!SeekTo(handle, block->bufferOffset)) {
        return {0, 0, 0};
    }
    block->position = block->bufferOffset;
    return counter.Finish();
}

DynString FileReadLine(FileNumber number) noexcept {
    FileControlBlock* block = FileTableFind(number);
    if (block == nullptr) {
        SetErrorNumber(Err::BadFileNumber);
        return {};
    }
    LineBuilder line;
    for (;;) {
        if (!FetchByte(*block)) {
            return {};
        }
        if (block->index == block->valid) {
            return LastLine(line); // end of the file
        }
        const LinePiece piece = TakePiece(*block);
        if (piece.end == PieceEnd::Cr) {
            return EndedLine(*block, line, piece);
        }
        if (!line.Append(piece.bytes, piece.count)) {
            SetErrorNumber(Err::OutOfMemory);
            return {};
        }
        if (piece.end == PieceEnd::TextEnd) {
            return LastLine(line); // the Ctrl-Z is left unread: every later read stops here
        }
    }
}

std::uint64_t FileOffset(FileNumber number) noexcept {
    const FileControlBlock* block = FileTableFind(number);
    if (block == nullptr) {
        SetErrorNumber(Err::BadFileNumber);
        return 0;
    }
    return static_cast<std::uint64_t>(block->bufferOffset) + block->index;
}

void FileClose(FileNumber number) noexcept {
    const FileControlBlockPtr block = FileTableUnlink(number);
    if (block == nullptr) {
        return;
    }
    if (!block->ownsHandle) {
        return;
    }
    const auto gate = ApiCallGate([&] { return CloseHandle(HandleOf(*block)); });
    if (!gate.value) {
        SetFailure(gate.error);
    }
}
