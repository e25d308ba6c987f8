#include "editor/TextLoading.h"

#include "editor/OemConversion.h"
#include "editor/ProgramState.h"
#include "runtime/ErrorNumber.h"
#include "runtime/MemoryStatus.h"
#include "runtime/StringArray.h"
#include "runtime/TextFile.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr FileNumber kTextFile = 1;
constexpr std::int32_t kReadBufferBytes = 128;
constexpr std::int32_t kNumberingBase = 1;
constexpr std::uint32_t kLinesPerReport = 4096;
constexpr std::uint64_t kBytesPerReport = 1 << 20; // long lines report as often
// LineArray's bounds are 32-bit numbers.
constexpr std::uint64_t kMostLines = INT32_MAX;
// Counting a byte takes about an eighth of the time reading it does.
constexpr std::uint64_t kCountShare = 8;
// A string's storage beyond its bytes: the 32-bit length, the NUL and at most 7 bytes of
// rounding to the store's 8-byte grain.
constexpr std::uint64_t kStringOverhead = 12;

// The file is closed when the load ends, and what was read goes unless the load was whole.
class LoadScope {
  public:
    LoadScope() = default;
    LoadScope(const LoadScope&) = delete;
    LoadScope& operator=(const LoadScope&) = delete;
    ~LoadScope() {
        FileClose(kTextFile);
        if (!whole_) {
            ArrayErase(LineArray);
        }
    }

    LoadOutcome Ended(LoadResult result, std::uint64_t lineCount) noexcept {
        whole_ = result == LoadResult::Loaded;
        return {result, lineCount};
    }

  private:
    bool whole_ = false;
};

struct ScanProgress {
    LoadProgressReport report;
    bool stopped;
};

bool ReportScan(std::uint64_t scanned, std::uint64_t length, void* context) noexcept {
    auto& progress = *static_cast<ScanProgress*>(context);
    progress.stopped = !progress.report(scanned / kCountShare, length / kCountShare + length);
    return !progress.stopped;
}

} // namespace

LoadLimits DefaultLoadLimits() noexcept {
    return {kLongestLine, kMostLines, AvailableMemoryBytes};
}

std::uint64_t LoadMemoryEstimate(std::uint64_t lines, std::uint64_t bytes) noexcept {
    // Every line but perhaps the last ends in at least one byte that is not kept, and only
    // a line with bytes holds a string.
    const std::uint64_t kept = lines == 0 ? bytes : bytes - std::min(bytes, lines - 1);
    const std::uint64_t strings = std::min(lines, kept);
    return (lines + 1) * sizeof(DynString) + kept + strings * kStringOverhead;
}

LoadOutcome LoadTextFile(const DynString& name, LoadProgressReport report,
                         const LoadLimits& limits) noexcept {
    ArrayErase(LineArray);
    LoadScope scope;
    ClearErrorNumber();
    FileOpen(name, kTextFile, kFileEditorInput, kReadBufferBytes, kNumberingBase);
    if (GetErrorNumber() != Err::None) {
        return scope.Ended(LoadResult::CannotOpen, 0);
    }

    ScanProgress scan{report, false};
    const FileLineCountResult counted =
        report != nullptr ? FileLineCount(kTextFile, ReportScan, &scan) : FileLineCount(kTextFile);
    const std::uint64_t count = counted.count;
    if (scan.stopped) {
        return scope.Ended(LoadResult::Stopped, 0);
    }
    if (GetErrorNumber() != Err::None) {
        return scope.Ended(LoadResult::ReadFailed, 0);
    }
    if (counted.longest > std::min(limits.longestLine, std::uint64_t{kLongestLine})) {
        return scope.Ended(LoadResult::LineTooLong, count);
    }
    if (count > std::min(limits.mostLines, kMostLines)) {
        return scope.Ended(LoadResult::TooManyLines, count);
    }
    if (LoadMemoryEstimate(count, counted.bytes) > limits.availableMemory()) {
        return scope.Ended(LoadResult::NotEnoughMemory, count);
    }
    ArrayRedim(LineArray, 0, static_cast<std::int32_t>(count));
    if (!LineArray.IsCreated()) {
        return scope.Ended(LoadResult::NotEnoughMemory, count);
    }

    const std::uint64_t total = counted.bytes / kCountShare + counted.bytes;
    std::uint32_t linesToReport = kLinesPerReport;
    std::uint64_t bytesToReport = kBytesPerReport;
    // A line is converted once the next one is read: converting bytes just copied waits for
    // the copy's stores to reach the cache.
    DynString* unconverted = nullptr;
    for (std::int32_t i = 1; i <= static_cast<std::int32_t>(count); ++i) {
        DynString& line = LineArray[i];
        line = FileReadLine(kTextFile);
        const std::uint32_t length = line.Length();
        if (length == 0) {
            if (const ErrorNumber error = GetErrorNumber(); error != Err::None) {
                // A line that could not be read comes back empty, with the reason.
                return scope.Ended(error == Err::OutOfMemory ? LoadResult::NotEnoughMemory
                                                             : LoadResult::ReadFailed,
                                   count);
            }
        }
        if (unconverted != nullptr) {
            ConvertOemToAnsi(unconverted->MutableBytes(), unconverted->Length());
        }
        unconverted = length > 0 ? &line : nullptr;
        if (report == nullptr) {
            continue;
        }
        bytesToReport -= std::min<std::uint64_t>(bytesToReport, length);
        if (--linesToReport > 0 && bytesToReport > 0) {
            continue;
        }
        linesToReport = kLinesPerReport;
        bytesToReport = kBytesPerReport;
        if (!report(counted.bytes / kCountShare + FileOffset(kTextFile), total)) {
            return scope.Ended(LoadResult::Stopped, count);
        }
    }
    if (unconverted != nullptr) {
        ConvertOemToAnsi(unconverted->MutableBytes(), unconverted->Length());
    }
    return scope.Ended(LoadResult::Loaded, count);
}
