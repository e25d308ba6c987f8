#include "canvas/ChangedArea.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::int32_t kWidth = 37; // two blocks of sixteen pixels and five more
constexpr std::int32_t kHeight = 10;
constexpr PixelArea kWhole{0, 0, kWidth, kHeight};

using Picture = std::vector<std::uint32_t>;

Picture Plain() {
    Picture picture(kWidth * kHeight);
    for (std::size_t i = 0; i < picture.size(); ++i) {
        picture[i] = static_cast<std::uint32_t>(i * 2654435761u);
    }
    return picture;
}

struct Point {
    std::int32_t x;
    std::int32_t y;
};

std::vector<RowSpan> AllTouched() {
    return std::vector<RowSpan>(kHeight, RowSpan{0, kWidth});
}

PixelArea ChangedAreaOf(const std::vector<Point>& changes, PixelArea area,
                        const std::vector<RowSpan>& spans = AllTouched()) {
    const Picture shown = Plain();
    Picture drawn = shown;
    for (const Point& point : changes) {
        drawn[point.y * kWidth + point.x] ^= 0x00010000; // one bit of one colour
    }
    return ChangedArea(PixelRows{drawn.data(), kWidth}, PixelRows{shown.data(), kWidth},
                       spans.data(), area);
}

std::string Text(const PixelArea& area) {
    if (area.Empty()) {
        return "empty";
    }
    return std::to_string(area.left) + "," + std::to_string(area.top) + " to " +
           std::to_string(area.right) + "," + std::to_string(area.bottom);
}

std::string Text(const std::vector<RowSpan>& spans) {
    std::string text;
    for (const RowSpan& span : spans) {
        text +=
            span.to <= span.from ? "-" : std::to_string(span.from) + ".." + std::to_string(span.to);
        text += " ";
    }
    return text;
}

} // namespace

TEST(ChangedArea, TheAnswerHoldsEveryChangedPixelOfTheAreaAndNoMore) {
    const struct {
        const char* what;
        std::vector<Point> changes;
        PixelArea area;
        PixelArea changed;
    } cases[] = {
        {"nothing changed", {}, kWhole, {0, 0, 0, 0}},
        {"the first pixel", {{0, 0}}, kWhole, {0, 0, 1, 1}},
        {"a pixel of the second block", {{20, 4}}, kWhole, {20, 4, 21, 5}},
        {"the last pixel, after the blocks", {{36, 9}}, kWhole, {36, 9, 37, 10}},
        {"a column guide that moved", {{3, 0}, {3, 9}, {11, 0}, {11, 9}}, kWhole, {3, 0, 12, 10}},
        {"wider in a middle row", {{8, 1}, {9, 8}, {2, 5}, {35, 4}}, kWhole, {2, 1, 36, 9}},
        {"a row guide that moved", {{0, 3}, {36, 3}, {0, 6}, {36, 6}}, kWhole, {0, 3, 37, 7}},
        {"left of the area", {{1, 3}, {5, 3}}, {2, 0, kWidth, kHeight}, {5, 3, 6, 4}},
        {"right of the area", {{35, 3}}, {0, 0, 35, kHeight}, {0, 0, 0, 0}},
        {"below the area", {{4, 8}, {4, 2}}, {0, 0, kWidth, 8}, {4, 2, 5, 3}},
        {"above the area", {{4, 1}, {7, 6}}, {0, 2, kWidth, kHeight}, {7, 6, 8, 7}},
        {"an empty area", {{4, 4}}, {0, 5, kWidth, 5}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(ChangedAreaOf(c.changes, c.area)), Text(c.changed)) << c.what;
    }
}

TEST(ChangedArea, OnlyTheTouchedColumnsOfEachRowAreLookedAt) {
    std::vector<RowSpan> spans(kHeight, RowSpan{0, 0});
    spans[2] = RowSpan{10, 30};
    spans[5] = RowSpan{0, 4};
    spans[7] = RowSpan{20, kWidth};
    const struct {
        const char* what;
        std::vector<Point> changes;
        PixelArea changed;
    } cases[] = {
        {"in an untouched row", {{12, 3}}, {0, 0, 0, 0}},
        {"left of a touched span", {{9, 2}}, {0, 0, 0, 0}},
        {"at both ends of a span", {{10, 2}, {29, 2}}, {10, 2, 30, 3}},
        {"in three rows", {{3, 5}, {25, 2}, {36, 7}}, {3, 2, 37, 8}},
        {"around a touched row that did not change", {{25, 2}, {36, 7}}, {25, 2, 37, 8}},
        {"outside the spans as well", {{3, 5}, {30, 2}, {19, 7}, {0, 9}}, {3, 5, 4, 6}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(ChangedAreaOf(c.changes, kWhole, spans)), Text(c.changed)) << c.what;
    }
}

TEST(ChangedArea, TouchedAreasWidenTheSpansOfTheirRows) {
    std::vector<RowSpan> spans(6, RowSpan{0, 0});
    AddTouchedArea(spans.data(), 6, PixelArea{10, 1, 20, 3});
    AddTouchedArea(spans.data(), 6, PixelArea{5, 2, 12, 4});
    AddTouchedArea(spans.data(), 6, PixelArea{30, 2, 31, 3});
    AddTouchedArea(spans.data(), 6, PixelArea{0, 5, 7, 9});  // partly below the rows
    AddTouchedArea(spans.data(), 6, PixelArea{0, -3, 7, 0}); // wholly above them
    AddTouchedArea(spans.data(), 6, PixelArea{8, 0, 8, 6});  // empty
    EXPECT_EQ(Text(spans), "- 10..20 5..31 5..12 - 0..7 ");
    std::vector<RowSpan> others(6, RowSpan{0, 0});
    others[0] = RowSpan{3, 4};
    others[1] = RowSpan{25, 26};
    others[4] = RowSpan{9, 9}; // empty
    AddSpans(spans.data(), others.data(), 6);
    EXPECT_EQ(Text(spans), "3..4 10..26 5..31 5..12 - 0..7 ");
    ClearTouched(spans.data(), 6);
    EXPECT_EQ(Text(spans), "- - - - - - ");
}

TEST(ChangedArea, MostOfTheAreaChangedIsCopiedWhole) {
    const PixelArea area{0, 10, 30, 20};
    const struct {
        PixelArea changed;
        PixelArea copied;
    } cases[] = {
        {{5, 12, 5, 12}, {5, 12, 5, 12}},   // nothing
        {{5, 12, 6, 20}, {5, 12, 6, 20}},   // a column
        {{0, 10, 30, 15}, {0, 10, 30, 15}}, // half: still the part
        {{0, 11, 30, 17}, area},
        {{1, 10, 29, 20}, area},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(AreaToCopy(c.changed, area)), Text(c.copied)) << Text(c.changed);
    }
}

TEST(ChangedArea, CopySpansCopiesEachRowsSpanOnly) {
    const Picture from = Plain();
    Picture to(from.size(), 0);
    std::vector<RowSpan> spans(kHeight, RowSpan{0, 0});
    spans[1] = RowSpan{2, 5};
    spans[6] = RowSpan{30, kWidth};
    CopySpans(PixelRows{from.data(), kWidth}, to.data(), spans.data(), kHeight);
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < kWidth; ++x) {
            const bool inside = x >= spans[y].from && x < spans[y].to;
            EXPECT_EQ(to[y * kWidth + x], inside ? from[y * kWidth + x] : 0u) << x << "," << y;
        }
    }
}

TEST(ChangedArea, CopyAreaCopiesThatAreaOnly) {
    const Picture from = Plain();
    Picture to(from.size(), 0);
    CopyArea(PixelRows{from.data(), kWidth}, to.data(), PixelArea{3, 2, 11, 5});
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < kWidth; ++x) {
            const bool inside = x >= 3 && x < 11 && y >= 2 && y < 5;
            EXPECT_EQ(to[y * kWidth + x], inside ? from[y * kWidth + x] : 0u) << x << "," << y;
        }
    }
    CopyArea(PixelRows{from.data(), kWidth}, to.data(), PixelArea{3, 5, 11, 5}); // empty
    EXPECT_EQ(to[5 * kWidth + 3], 0u);
}

TEST(ChangedArea, WriteChangedPixelsWritesFromTheFirstToTheLastDifference) {
    const struct {
        std::vector<std::int32_t> differing;
        RowSpan written;
    } cases[] = {
        {{}, {0, 0}}, {{0}, {0, 1}}, {{36}, {36, 37}}, {{17, 3}, {3, 18}}, {{0, 36}, {0, 37}},
    };
    const Picture source = Plain();
    for (const auto& c : cases) {
        Picture target(source.begin(), source.begin() + kWidth);
        for (const std::int32_t x : c.differing) {
            target[x] = ~target[x];
        }
        const RowSpan written = WriteChangedPixels(source.data(), target.data(), kWidth);
        EXPECT_EQ(written.from, c.written.from) << c.written.from << ".." << c.written.to;
        EXPECT_EQ(written.to, c.written.to) << c.written.from << ".." << c.written.to;
        EXPECT_TRUE(std::equal(target.begin(), target.end(), source.begin()));
    }
}
