#include "editor/TextLoading.h"

#include "editor/OemConversion.h"
#include "editor/ProgramState.h"
#include "runtime/StringArray.h"
#include "runtime/TextFile.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr FileNumber kTextFile = 1;
constexpr std::int32_t kReadBufferBytes = 128;
constexpr std::int32_t kNumberingBase = 1;
constexpr std::int32_t kLinesPerReport = 4096;

} // namespace

void LoadTextFile(const DynString& name, LoadProgressReport report) noexcept {
    FileOpen(name, kTextFile, kFileEditorInput, kReadBufferBytes, kNumberingBase);
    const FileLineCountResult counted = FileLineCount(kTextFile);
    const std::uint64_t count = counted.count;
    ArrayErase(LineArray);
    ArrayRedim(LineArray, 0, static_cast<std::int32_t>(std::min<std::uint64_t>(count, INT32_MAX)));
    if (report != nullptr) {
        report(0, counted.bytes); // the count of a large file alone may take a while
    }
    // Bounded by the array rather than the count: an array that could not be had reads nothing.
    for (std::int32_t i = 1; i <= ArrayUpperBound(LineArray); ++i) {
        LineArray[i] = FileReadLine(kTextFile);
        if (char* bytes = LineArray[i].MutableBytes(); bytes != nullptr) {
            ConvertOemToAnsi(bytes, LineArray[i].Length());
        }
        if (report != nullptr && i % kLinesPerReport == 0) {
            report(FileOffset(kTextFile), counted.bytes);
        }
    }
    FileClose(kTextFile);
}
