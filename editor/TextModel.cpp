#include "editor/TextModel.h"

#include "runtime/StringFunctions.h"

#include <algorithm>
#include <utility>

DynString EditLine(const DynString& line, std::int32_t column, const DynString& text,
                   std::int32_t mode) noexcept {
    if (column < 1) {
        return line;
    }
    DynString work = line;
    if (work.Length() < static_cast<std::uint32_t>(column)) {
        const std::int64_t gap = std::int64_t{column} - work.Length() + text.Length();
        work = Concat(
            work, SpaceString(static_cast<std::int32_t>(std::min<std::int64_t>(gap, kAllBytes))));
    }
    switch (mode) {
    case EditOverwrite:
        OverwriteAt(work, column, kAllBytes, text);
        break;
    case EditInsert:
        work = Concat(Concat(Substring(work, 1, column - 1), text),
                      Substring(work, column, kAllBytes));
        break;
    case EditDelete:
        work = Concat(Substring(work, 1, column - 1), Substring(work, column + 1, kAllBytes));
        break;
    default:
        break;
    }
    return TrimRightSpaces(work);
}

void SplitLine(StringArray& lines, std::int32_t line, std::int32_t column) noexcept {
    if (!lines.Contains(line)) {
        return;
    }
    const std::int32_t last = ArrayUpperBound(lines);
    ArrayRedimPreserve(lines, lines.LowerBound(), last + 1);
    // Without room for one more line the shift would push the last line out.
    if (ArrayUpperBound(lines) != last + 1) {
        return;
    }
    ArrayInsertAt(lines, line, Substring(lines[line], 1, column - 1));
    lines[line + 1] = Substring(lines[line + 1], column, kAllBytes);
}

void JoinWithNext(StringArray& lines, std::int32_t line) noexcept {
    if (!lines.Contains(line) || !lines.Contains(line + 1)) {
        return;
    }
    DynString joined = Concat(lines[line], lines[line + 1]);
    // A join that could not be had in memory must not drop the next line.
    if (!MadeWhole(joined, std::uint64_t{lines[line].Length()} + lines[line + 1].Length())) {
        return;
    }
    lines[line] = std::move(joined);
    ArrayDeleteAt(lines, line + 1, DynString());
    ArrayRedimPreserve(lines, lines.LowerBound(), ArrayUpperBound(lines) - 1);
}

void NormaliseView(ViewState& view, std::int32_t lineCount) noexcept {
    view.firstColumn = std::max(view.firstColumn, 1);
    view.topLine = std::max(view.topLine, 1);
    view.topLine = std::min(view.topLine, lineCount);
    view.cursorLine = std::max(view.cursorLine, 1);
    view.cursorLine = std::min(view.cursorLine, lineCount);
    view.cursorScreenColumn = std::max(view.cursorScreenColumn, 1);
    view.cursorScreenColumn = std::min(view.cursorScreenColumn, LastCursorScreenColumn);
}
