// The text buffer's line operations and the view and cursor that move over it.
#pragma once

#include "runtime/DynString.h"
#include "runtime/ErrorNumber.h"
#include "runtime/StringArray.h"

#include <cstdint>
#include <utility>

// Modes of EditLine.
constexpr std::int32_t EditOverwrite = 0;
constexpr std::int32_t EditInsert = 1;
constexpr std::int32_t EditDelete = -1;

// The cursor's screen column never goes beyond this one, however many columns fit.
constexpr std::int32_t LastCursorScreenColumn = 1000;

// Where the canvas shows the text and where the cursor stands; kept in user values 1 to 4
// of the canvas control between key events.
struct ViewState {
    std::int32_t topLine;            // index of the line drawn at the top of the canvas
    std::int32_t firstColumn;        // column of the lines drawn at the left edge
    std::int32_t cursorLine;         // index of the line that holds the cursor
    std::int32_t cursorScreenColumn; // the cursor's column on the canvas, from 1
};

// The cursor's column within its line.
inline std::int32_t TextColumn(const ViewState& view) noexcept {
    return view.firstColumn + view.cursorScreenColumn - 1;
}

// The line with text placed (insert, overwrite) or one byte removed (delete) at column,
// after padding a short line with spaces up to the column; trailing spaces are trimmed.
// A column before the line's start leaves the line as it is.
DynString EditLine(const DynString& line, std::int32_t column, const DynString& text,
                   std::int32_t mode) noexcept;

// Stores the text that make() answers into line `index`, unless memory ran out while it was
// made: a string that cannot be had comes back empty (error 7), and the line must not lose
// its text to that.
template <typename Make>
void ReplaceLine(StringArray& lines, std::int32_t index, Make make) noexcept {
    if (!lines.Contains(index)) {
        SetErrorNumber(Err::BadIndex);
        return;
    }
    const ErrorNumber before = GetErrorNumber();
    ClearErrorNumber();
    DynString made = make();
    if (GetErrorNumber() == Err::OutOfMemory) {
        return;
    }
    SetErrorNumber(before);
    lines[index] = std::move(made);
}

// Cuts line L at column C into two lines, L and L + 1; the text grows by one line.
void SplitLine(StringArray& lines, std::int32_t line, std::int32_t column) noexcept;

// Appends line L + 1 to line L; the text shrinks by one line. L must be below the last line.
void JoinWithNext(StringArray& lines, std::int32_t line) noexcept;

// Brings the view and the cursor back into the text after a key has moved them.
void NormaliseView(ViewState& view, std::int32_t lineCount) noexcept;
