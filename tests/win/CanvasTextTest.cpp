#include "canvas/Canvas.h"
#include "canvas/CanvasState.h"
#include "dialogs/WindowRecord.h"
#include "runtime/ErrorNumber.h"
#include "tests/win/support/CanvasHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr int kWidth = 80;
constexpr int kHeight = 40;

struct CharSize {
    double width;
    double height;
    bool operator==(const CharSize&) const = default;
};

CharSize CharSizeFor(std::int32_t points) {
    CanvasSetFont("courier new", points, 0);
    CharSize size{};
    CanvasGetCharSize(size.width, size.height);
    return size;
}

HDC MemoryDc(const CanvasHost& host) {
    return CanvasOf(*host.Record()).memoryDc;
}

LOGFONTA SelectedFont(const CanvasHost& host) {
    LOGFONTA font{};
    GetObjectA(GetCurrentObject(MemoryDc(host), OBJ_FONT), sizeof font, &font);
    return font;
}

POINT Position(const CanvasHost& host) {
    const CanvasState& canvas = CanvasOf(*host.Record());
    POINT dc{};
    GetCurrentPositionEx(canvas.memoryDc, &dc);
    EXPECT_EQ(dc.x, canvas.x);
    EXPECT_EQ(dc.y, canvas.y);
    return POINT{canvas.x, canvas.y};
}

} // namespace

TEST(CanvasText, SizesOutsideOneToSeventyTwoAreEightPoints) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    const CharSize eight = CharSizeFor(8);
    EXPECT_GT(eight.width, 0);
    EXPECT_NE(CharSizeFor(20), eight);
    EXPECT_EQ(CharSizeFor(0), eight);
    EXPECT_EQ(CharSizeFor(100), eight);
    EXPECT_EQ(CharSizeFor(-3), eight);
    EXPECT_NE(CharSizeFor(72), eight);
}

TEST(CanvasText, TheFontAsksForTheFaceStyleAndPointHeight) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    const int dpi = GetDeviceCaps(MemoryDc(host), LOGPIXELSY);

    CanvasSetFont("courier new", 9, 0);
    LOGFONTA font = SelectedFont(host);
    EXPECT_STREQ(font.lfFaceName, "courier new");
    EXPECT_EQ(font.lfHeight, -(dpi * 9 / 72));
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(font.lfItalic + font.lfUnderline + font.lfStrikeOut, 0);

    HGDIOBJ previous = GetCurrentObject(MemoryDc(host), OBJ_FONT);
    const std::string longFace(40, 'f');
    CanvasSetFont(DynString(longFace), 10, 1 | 2 | 4 | 8 | 16);
    font = SelectedFont(host);
    EXPECT_EQ(std::string(font.lfFaceName), longFace.substr(0, 31));
    EXPECT_EQ(font.lfHeight, -(dpi * 10 / 72));
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_EQ(font.lfUnderline, 1);
    EXPECT_EQ(font.lfStrikeOut, 1);
    EXPECT_EQ(GetObjectType(previous), 0u) << "the replaced font is deleted";

    TEXTMETRICA metrics{};
    GetTextMetricsA(MemoryDc(host), &metrics);
    double width = 0;
    double height = 0;
    CanvasGetCharSize(width, height);
    EXPECT_EQ(width, metrics.tmAveCharWidth);
    EXPECT_EQ(height, metrics.tmHeight + metrics.tmExternalLeading);
}

TEST(CanvasText, PrintingMovesAlongTheLineByTheTextsWidth) {
    CanvasHost together(kWidth, kHeight);
    together.Attach();
    CanvasSetFont("courier new", 12, 0);
    CanvasMoveTo(10.4, 19.5); // ties go to the even neighbour
    EXPECT_EQ(Position(together).x, 10);
    EXPECT_EQ(Position(together).y, 20);
    CanvasPrint("ab");
    SIZE extent{};
    GetTextExtentPoint32A(MemoryDc(together), "ab", 2, &extent);
    ASSERT_GT(extent.cx, 0);
    EXPECT_EQ(Position(together).x, 10 + extent.cx);
    EXPECT_EQ(Position(together).y, 20);

    CanvasHost apart(kWidth, kHeight);
    apart.Attach();
    CanvasSetFont("courier new", 12, 0);
    CanvasMoveTo(10, 20);
    CanvasPrint("a");
    CanvasPrint("b");
    EXPECT_EQ(Position(apart).x, 10 + extent.cx);
    EXPECT_EQ(apart.Backing(), together.Backing());
}

TEST(CanvasText, EmptyTextDrawsAndUpdatesNothing) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    CanvasMoveTo(10, 20);
    PixelGrid shown = host.Screen();
    PaintBehind(host, RECT{0, 0, 5, 5}, RGB(255, 0, 0));
    PixelGrid backing = host.Backing();
    CanvasPrint("");
    EXPECT_EQ(Position(host).x, 10);
    EXPECT_EQ(Position(host).y, 20);
    EXPECT_EQ(host.Backing(), backing);
    EXPECT_EQ(host.Screen(), shown);
}

TEST(CanvasText, ATransparentBackgroundLeavesTheCellsAlone) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    CanvasClear(0x00FF00, 0);
    PixelGrid green = host.Backing();
    CanvasSetBackColor(kColourTransparent);
    CanvasMoveTo(5, 5);
    CanvasPrint("   ");
    EXPECT_EQ(host.Backing(), green);

    // Opaque again, the same spaces paint their cells.
    CanvasSetBackColor(0x0000FF);
    CanvasMoveTo(5, 5);
    CanvasPrint("   ");
    PixelGrid painted = host.Backing();
    EXPECT_EQ(painted[6 * kWidth + 6], 0xFF0000u);
}

TEST(CanvasText, TrailingSpacesOnATransparentBackgroundAreAdvancedOver) {
    for (const std::int32_t style : {0, 4, 8}) {
        CanvasHost padded(kWidth, kHeight);
        padded.Attach();
        CanvasClear(0x00FF00, 0);
        CanvasSetFont("courier new", 12, style);
        CanvasSetBackColor(kColourTransparent);
        CanvasMoveTo(3, 5);
        CanvasPrint("ab    ");
        SIZE extent{};
        GetTextExtentPoint32A(MemoryDc(padded), "ab    ", 6, &extent);
        EXPECT_EQ(Position(padded).x, 3 + extent.cx) << "style " << style;

        CanvasHost bare(kWidth, kHeight);
        bare.Attach();
        CanvasClear(0x00FF00, 0);
        CanvasSetFont("courier new", 12, style);
        CanvasSetBackColor(kColourTransparent);
        CanvasMoveTo(3, 5);
        CanvasPrint("ab");
        // Plain spaces draw nothing; underlined or struck-out ones draw their line.
        if (style == 0) {
            EXPECT_EQ(padded.Backing(), bare.Backing());
        } else {
            EXPECT_NE(padded.Backing(), bare.Backing()) << "style " << style;
        }
    }
}

TEST(CanvasText, ColoursDropTheirTopByteAndMinusOneIsTheSystemColour) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    CanvasClear(0xFFFFFF, 0);
    CanvasSetFont("courier new", 20, 1);
    CanvasSetTextColor(0x010000FF); // red, with a top byte that GDI would take as a palette index
    CanvasSetBackColor(0x02FF0000); // blue
    CanvasMoveTo(0, 0);
    CanvasPrint("W");
    PixelGrid pixels = host.Backing();
    EXPECT_NE(std::count(pixels.begin(), pixels.end(), 0xFF0000u), 0);
    EXPECT_NE(std::count(pixels.begin(), pixels.end(), 0x0000FFu), 0);
    EXPECT_EQ(CanvasOf(*host.Record()).foreground, 0x0000FF);
    EXPECT_EQ(CanvasOf(*host.Record()).background, 0xFF0000);

    CanvasSetTextColor(kColourSystem);
    CanvasSetBackColor(kColourSystem);
    EXPECT_EQ(GetTextColor(MemoryDc(host)), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(GetBkColor(MemoryDc(host)), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetBkMode(MemoryDc(host)), OPAQUE);
}
