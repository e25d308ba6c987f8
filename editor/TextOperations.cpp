#include "editor/TextOperations.h"

#include "editor/TextModel.h"
#include "runtime/DateTime.h"
#include "runtime/StringFunctions.h"

#include <string>

namespace {

// The width of the sort key, in bytes from the cursor's column.
constexpr std::int32_t kSortKeyBytes = 12;

// The line's words (runs between single spaces) joined by one space each.
DynString ShortenSpaces(const DynString& line, StringArray& words) {
    ArrayErase(words);
    ArrayRedim(words, 1, FieldCount(line, " "));
    SplitFields(line, words, " ");
    std::string joined;
    for (std::int32_t i = 1; i <= ArrayUpperBound(words); ++i) {
        if (!words[i].IsEmpty()) {
            joined += words[i].View();
            joined += ' ';
        }
    }
    return TrimRightSpaces(TrimLeftSpaces(DynString(std::string_view(joined))));
}

template <typename Reshape> void ReshapeEveryLine(StringArray& lines, Reshape reshape) {
    for (std::int32_t i = 1; i <= ArrayUpperBound(lines); ++i)
        lines[i] = reshape(lines[i]);
}

} // namespace

void RunTextOperation(std::int32_t operation, StringArray& lines, std::int32_t cursorLine,
                      std::int32_t textColumn, std::int32_t mode) noexcept {
    switch (operation) {
    case 1:
        ReshapeEveryLine(lines, ToUpper);
        break;
    case 2:
        ReshapeEveryLine(lines, ToLower);
        break;
    case 3:
        ReshapeEveryLine(lines, ToProperCase);
        break;
    case 4: {
        const DynString indent = SpaceString(textColumn - 1);
        ReshapeEveryLine(lines, [&indent](const DynString& line) {
            return Concat(indent, TrimRightSpaces(TrimLeftSpaces(line)));
        });
        break;
    }
    case 5:
        ReshapeEveryLine(lines, TrimLeftSpaces);
        break;
    case 6: {
        StringArray words;
        ReshapeEveryLine(lines,
                         [&words](const DynString& line) { return ShortenSpaces(line, words); });
        break;
    }
    case 7:
        lines.Set(cursorLine, EditLine(lines.Get(cursorLine), textColumn, DateText(), mode));
        break;
    case 8:
        lines.Set(cursorLine, EditLine(lines.Get(cursorLine), textColumn, TimeText(), mode));
        break;
    case 9:
        ArraySortFrom(lines, cursorLine, textColumn, textColumn + kSortKeyBytes - 1, 0);
        break;
    default:
        break;
    }
}
