#include "canvas/ChangedArea.h"

#include <algorithm>
#include <cstring>

namespace {

// Pixels compared at once: a cache line, which the compiler compares in vector registers.
constexpr std::int32_t kBlock = 16;

const std::uint32_t* Row(PixelRows picture, std::int32_t row) {
    return picture.pixels + static_cast<std::ptrdiff_t>(row) * picture.stride;
}

// Whether the blocks of pixels at a and b differ.
bool BlockDiffers(const std::uint32_t* a, const std::uint32_t* b) {
    std::uint32_t differ = 0;
    for (std::int32_t k = 0; k < kBlock; ++k) {
        differ |= a[k] ^ b[k];
    }
    return differ != 0;
}

// The first column of from..to - 1 where the rows differ; to when none does (from when
// the range is reversed).
std::int32_t FirstDifference(const std::uint32_t* a, const std::uint32_t* b, std::int32_t from,
                             std::int32_t to) {
    std::int32_t i = from;
    while (i + kBlock <= to && !BlockDiffers(a + i, b + i)) {
        i += kBlock;
    }
    while (i < to && a[i] == b[i]) {
        ++i;
    }
    return i;
}

// One past the last column of from..to - 1 where the rows differ; from when none does (to
// when the range is reversed).
std::int32_t LastDifferenceEnd(const std::uint32_t* a, const std::uint32_t* b, std::int32_t from,
                               std::int32_t to) {
    std::int32_t i = to;
    while (i - kBlock >= from && !BlockDiffers(a + i - kBlock, b + i - kBlock)) {
        i -= kBlock;
    }
    while (i > from && a[i - 1] == b[i - 1]) {
        --i;
    }
    return i;
}

// The row's span within the area's columns.
RowSpan Clipped(RowSpan span, const PixelArea& area) {
    return RowSpan{std::max(span.from, area.left), std::min(span.to, area.right)};
}

} // namespace

void AddTouchedArea(RowSpan* spans, std::int32_t height, PixelArea area) noexcept {
    if (area.Empty()) {
        return;
    }
    for (std::int32_t row = std::max(area.top, 0); row < std::min(area.bottom, height); ++row) {
        RowSpan& span = spans[row];
        if (span.to <= span.from) {
            span = RowSpan{area.left, area.right};
        } else {
            span.from = std::min(span.from, area.left);
            span.to = std::max(span.to, area.right);
        }
    }
}

void ClearTouched(RowSpan* spans, std::int32_t height) noexcept {
    std::fill(spans, spans + std::max(height, 0), RowSpan{0, 0});
}

void AddSpans(RowSpan* spans, const RowSpan* others, std::int32_t height) noexcept {
    for (std::int32_t row = 0; row < height; ++row) {
        AddTouchedArea(spans, height, PixelArea{others[row].from, row, others[row].to, row + 1});
    }
}

PixelArea ChangedArea(PixelRows drawn, PixelRows shown, const RowSpan* spans,
                      PixelArea area) noexcept {
    const PixelArea none{area.left, area.top, area.left, area.top};
    if (area.Empty()) {
        return none;
    }
    // The first changed row from the top, and its changed columns.
    std::int32_t top = area.top;
    std::int32_t left = area.right;
    std::int32_t right = area.left;
    for (; top < area.bottom; ++top) {
        const RowSpan span = Clipped(spans[top], area);
        left = FirstDifference(Row(drawn, top), Row(shown, top), span.from, span.to);
        if (left < span.to) {
            right = LastDifferenceEnd(Row(drawn, top), Row(shown, top), left, span.to);
            break;
        }
    }
    if (top == area.bottom) {
        return none;
    }
    // The last changed row from the bottom; the first one stops the search.
    std::int32_t bottom = area.bottom;
    for (;; --bottom) {
        const RowSpan span = Clipped(spans[bottom - 1], area);
        if (FirstDifference(Row(drawn, bottom - 1), Row(shown, bottom - 1), span.from, span.to) <
            span.to) {
            break;
        }
    }
    // Between them, only the columns outside those found so far are left to look at.
    for (std::int32_t row = top + 1; row < bottom; ++row) {
        const RowSpan span = Clipped(spans[row], area);
        const std::uint32_t* a = Row(drawn, row);
        const std::uint32_t* b = Row(shown, row);
        const std::int32_t leftEnd = std::min(left, span.to);
        if (const std::int32_t found = FirstDifference(a, b, span.from, leftEnd); found < leftEnd) {
            left = found;
        }
        const std::int32_t rightStart = std::max(right, span.from);
        if (const std::int32_t found = LastDifferenceEnd(a, b, rightStart, span.to);
            found > rightStart) {
            right = found;
        }
    }
    return PixelArea{left, top, right, bottom};
}

PixelArea AreaToCopy(PixelArea changed, PixelArea area) noexcept {
    if (changed.Empty()) {
        return changed;
    }
    const auto size = [](const PixelArea& part) {
        return std::int64_t{part.right - part.left} * (part.bottom - part.top);
    };
    return 2 * size(changed) > size(area) ? area : changed;
}

void CopyArea(PixelRows from, std::uint32_t* to, PixelArea area) noexcept {
    if (area.Empty()) {
        return;
    }
    const auto bytes = static_cast<std::size_t>(area.right - area.left) * sizeof(std::uint32_t);
    for (std::int32_t row = area.top; row < area.bottom; ++row) {
        const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(row) * from.stride + area.left;
        std::memcpy(to + at, from.pixels + at, bytes);
    }
}

void CopySpans(PixelRows from, std::uint32_t* to, const RowSpan* spans,
               std::int32_t height) noexcept {
    for (std::int32_t row = 0; row < height; ++row) {
        CopyArea(from, to, PixelArea{spans[row].from, row, spans[row].to, row + 1});
    }
}

RowSpan WriteChangedPixels(const std::uint32_t* source, std::uint32_t* target,
                           std::int32_t count) noexcept {
    const std::int32_t first = FirstDifference(source, target, 0, count);
    if (first >= count) {
        return RowSpan{0, 0};
    }
    const std::int32_t end = LastDifferenceEnd(source, target, first, count);
    std::memcpy(target + first, source + first,
                static_cast<std::size_t>(end - first) * sizeof(std::uint32_t));
    return RowSpan{first, end};
}
