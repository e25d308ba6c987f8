#include "editor/TextOperations.h"

#include "editor/TextModel.h"
#include "runtime/DateTime.h"
#include "runtime/StringFunctions.h"

#include <cstring>

namespace {

// The line's words (runs between single spaces) joined by one space each; "" with error 7
// when the words or the new line cannot be had.
DynString ShortenSpaces(const DynString& line, StringArray& words) {
    ArrayErase(words);
    ArrayRedim(words, 1, FieldCount(line, " "));
    SplitFields(line, words, " ");
    std::uint64_t length = 0;
    for (std::int32_t i = 1; i <= ArrayUpperBound(words); ++i) {
        if (!words[i].IsEmpty()) {
            length += words[i].Length() + 1;
        }
    }
    // The words are at most the line's bytes, so the length fits; no space after the last.
    DynString joined = DynString::OfLength(static_cast<std::uint32_t>(length > 0 ? length - 1 : 0));
    char* out = joined.MutableBytes();
    if (out == nullptr) {
        return joined;
    }
    for (std::int32_t i = 1; i <= ArrayUpperBound(words); ++i) {
        if (words[i].IsEmpty()) {
            continue;
        }
        if (out != joined.MutableBytes()) {
            *out++ = ' ';
        }
        std::memcpy(out, words[i].Bytes(), words[i].Length());
        out += words[i].Length();
    }
    return joined;
}

// Every line replaced by reshape(line), each only when its new text could be made.
template <typename Reshape> void ReshapeEveryLine(StringArray& lines, Reshape reshape) {
    for (std::int32_t i = 1; i <= ArrayUpperBound(lines); ++i) {
        ReplaceLine(lines, i, [&] { return reshape(lines[i]); });
    }
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
        if (std::int64_t{indent.Length()} != std::int64_t{textColumn} - 1) {
            break; // without the indent no line can be made
        }
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
        ReplaceLine(lines, cursorLine,
                    [&] { return EditLine(lines[cursorLine], textColumn, DateText(), mode); });
        break;
    case 8:
        ReplaceLine(lines, cursorLine,
                    [&] { return EditLine(lines[cursorLine], textColumn, TimeText(), mode); });
        break;
    case 9:
        // The key: the bytes from the cursor's column, as many as the sort keeps at hand.
        ArraySortFrom(lines, cursorLine, textColumn, textColumn + kShortSortKeyBytes - 1, 0);
        break;
    default:
        break;
    }
}
