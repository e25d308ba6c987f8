#include "canvas/Canvas.h"
#include "canvas/CanvasState.h"
#include "canvas/PixelString.h"
#include "dialogs/WindowRecord.h"
#include "tests/win/support/CanvasHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <set>
#include <utility>

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;

PixelGrid Filled(std::uint32_t pixel) {
    return PixelGrid(kWidth * kHeight, pixel);
}

std::uint32_t& At(PixelGrid& grid, int x, int y) {
    return grid[static_cast<size_t>(y * kWidth + x)];
}

} // namespace

TEST(CanvasShapes, ALineAcrossTheCanvasColoursExactlyItsRow) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    CanvasClear(0xFFFFFF, 0);
    CanvasMoveTo(0, 10);
    CanvasLineTo(kWidth, 10, 0x0000FF);
    PixelGrid expected = Filled(0xFFFFFF);
    for (int x = 0; x < kWidth; ++x) {
        At(expected, x, 10) = 0xFF0000;
    }
    EXPECT_EQ(host.Backing(), expected);
}

TEST(CanvasShapes, LinesJoinAndStopShortOfTheirEnd) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    CanvasClear(0xFFFFFF, 0);
    CanvasSetTextColor(0x00FF00);
    CanvasMoveTo(2, 3);
    CanvasLineTo(6, 3, kColourSystem); // the foreground colour
    CanvasLineTo(6.5, 6, 0xFF0000);    // 6.5 rounds to the even 6
    CanvasLineTo(6, 6, 0x000000);      // to where it is: nothing
    PixelGrid expected = Filled(0xFFFFFF);
    for (int x = 2; x < 6; ++x) {
        At(expected, x, 3) = 0x00FF00;
    }
    for (int y = 3; y < 6; ++y) {
        At(expected, 6, y) = 0x0000FF;
    }
    EXPECT_EQ(host.Backing(), expected);
}

TEST(CanvasShapes, ClearingFillsEverythingAndSendsThePositionHome) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    CanvasMoveTo(12, 7);
    CanvasClear(0x00FF00, 0);
    EXPECT_EQ(host.Backing(), Filled(0x00FF00));
    const CanvasState& canvas = CanvasOf(*host.Record());
    POINT dc{1, 1};
    GetCurrentPositionEx(canvas.memoryDc, &dc);
    EXPECT_EQ(canvas.x + canvas.y + dc.x + dc.y, 0);

    CanvasSetBackColor(0x0000FF);
    CanvasClear(kColourSystem, 0); // the stored background colour
    EXPECT_EQ(host.Backing(), Filled(0xFF0000));
}

TEST(CanvasShapes, ClearingWithATransparentBackgroundPaintsNothingButStillGoesHome) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    CanvasClear(0x00FF00, 0);
    PixelGrid shown = host.Screen();
    PaintBehind(host, RECT{0, 0, 5, 5}, RGB(255, 0, 0));
    PixelGrid before = host.Backing();
    ASSERT_NE(before, shown);

    CanvasSetBackColor(kColourTransparent);
    CanvasMoveTo(12, 7);
    CanvasClear(kColourSystem, 0);
    EXPECT_EQ(host.Backing(), before);
    EXPECT_EQ(CanvasOf(*host.Record()).x + CanvasOf(*host.Record()).y, 0);
    EXPECT_EQ(host.Screen(), before) << "the screen is still brought up to date";

    CanvasClear(kColourTransparent, 2);
    EXPECT_EQ(host.Backing(), before);
}

TEST(CanvasShapes, FillStylesOutsideOneToSixFillSolid) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    CanvasSetBackColor(0xFFFFFF);
    for (std::int32_t style : {7, -1, 0}) {
        CanvasClear(0xFFFFFF, 0);
        CanvasClear(0x0000FF, style);
        EXPECT_EQ(host.Backing(), Filled(0xFF0000)) << "style " << style;
    }
    std::set<PixelGrid> hatches;
    for (std::int32_t style = 1; style <= 6; ++style) {
        CanvasClear(0xFFFFFF, 0);
        CanvasClear(0x0000FF, style);
        PixelGrid pixels = host.Backing();
        EXPECT_EQ(std::set<std::uint32_t>(pixels.begin(), pixels.end()),
                  (std::set<std::uint32_t>{0xFF0000, 0xFFFFFF}))
            << "style " << style << " is hatched over the background colour";
        hatches.insert(pixels);
    }
    EXPECT_EQ(hatches.size(), 6u);
}

TEST(CanvasShapes, AClearHeldForTheRedrawEndsAsADrawnOneWouldWhateverFollows) {
    const DynString small = [] {
        DynString pixels = DynString::OfLength(PixelStringLength(10, 8));
        std::memset(pixels.MutableBytes(), 0x80, pixels.Length());
        WritePixelHeader(pixels.MutableBytes(), 10, 8);
        return pixels;
    }();
    DynString whole;
    {
        CanvasHost source(kWidth, kHeight);
        source.Attach();
        CanvasClear(0x123456, 4);
        whole = CanvasGetPixels();
    }
    DynString lying = whole;
    WritePixelHeader(lying.MutableBytes(), kWidth, kHeight + 1);
    const std::function<void()> nexts[] = {
        [] {},
        [] {
            CanvasMoveTo(3, 3);
            CanvasPrint("Wm");
        },
        [] {
            CanvasMoveTo(0, 5);
            CanvasLineTo(30, 5, 0xFF0000);
        },
        [&] { CanvasSetPixels(whole); },
        [&] { CanvasSetPixels(small); },
        [&] { CanvasSetPixels(lying); },
        [] { CanvasClear(0x00FF00, 5); },
        [] { CanvasSetPixels(CanvasGetPixels()); },
    };
    for (std::size_t i = 0; i < std::size(nexts); ++i) {
        // What the backing bitmap and the screen hold, with the clear drawn at once (0) or
        // held for the redraw (0x80).
        const auto after = [&](std::int32_t option) {
            CanvasHost host(kWidth, kHeight);
            host.Attach(option);
            CanvasClear(0xFF00FF, 0);
            CanvasClear(0x0000FF, 0);
            nexts[i]();
            CanvasRedraw();
            return std::pair{host.Screen(), host.Backing()};
        };
        const auto drawn = after(0);
        EXPECT_EQ(after(kCanvasDeferredRedraw), drawn) << "case " << i;
        EXPECT_EQ(drawn.first, drawn.second) << "case " << i;
    }
}
