// Where the canvas differs from what the screen already shows, so that only that part goes
// to the screen: the columns of each row drawn on since the screen was last brought up to
// date, and within them the pixels that really differ. Plain pixel arithmetic, without a
// display, so that it builds in both trees.
#pragma once

#include <cstdint>

// Columns left to right - 1 of rows top to bottom - 1 of a picture; empty when either
// range is.
struct PixelArea {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;

    bool Empty() const noexcept { return right <= left || bottom <= top; }
};

// Columns from to to - 1 of one row; empty when to <= from.
struct RowSpan {
    std::int32_t from;
    std::int32_t to;
};

// The pixels of a top-down 32-bit picture: row r starts at pixels + r * stride.
struct PixelRows {
    const std::uint32_t* pixels;
    std::int32_t stride; // pixels from one row to the next
};

// Widens the spans of the area's rows (of rows 0 to height - 1) to take in its columns.
void AddTouchedArea(RowSpan* spans, std::int32_t height, PixelArea area) noexcept;
// Empties the spans of rows 0 to height - 1.
void ClearTouched(RowSpan* spans, std::int32_t height) noexcept;
// Widens each of the rows' spans to take in the same row's span of others.
void AddSpans(RowSpan* spans, const RowSpan* others, std::int32_t height) noexcept;

// The smallest area that holds every pixel of the given area, within the rows' spans,
// where the two pictures differ; empty when none does. Pixels outside the answer are read
// once, those inside it mostly not at all.
PixelArea ChangedArea(PixelRows drawn, PixelRows shown, const RowSpan* spans,
                      PixelArea area) noexcept;

// What goes to the screen for a changed part of the area: that part, or the whole area
// once it covers most of it.
PixelArea AreaToCopy(PixelArea changed, PixelArea area) noexcept;

// Copies the area's pixels from one picture to another of the same layout.
void CopyArea(PixelRows from, std::uint32_t* to, PixelArea area) noexcept;
// Copies the pixels of each row's span (of rows 0 to height - 1) the same way.
void CopySpans(PixelRows from, std::uint32_t* to, const RowSpan* spans,
               std::int32_t height) noexcept;

// Writes count pixels from source over target, only between the first and the last that
// differ; answers those columns.
RowSpan WriteChangedPixels(const std::uint32_t* source, std::uint32_t* target,
                           std::int32_t count) noexcept;
