// Pictures drawn on the canvas, against what the platform itself makes of the same file
// when it loads it at the rectangle's size and copies it on: stretched alike, and drawn
// alike where a run-length stream or the rows end early.
#include "canvas/Canvas.h"
#include "canvas/CanvasState.h"
#include "canvas/GdiHandles.h"
#include "canvas/PictureFile.h"
#include "canvas/PreparedPicture.h"
#include "dialogs/WindowRecord.h"
#include "tests/support/BitmapMaker.h"
#include "tests/support/PictureLayouts.h"
#include "tests/win/support/BitmapFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <utility>

namespace {

// The canvas after the platform's own load of the file at the size of the rectangle
// (0, 0) to (width, height), the editor's corners, copied onto a white canvas; empty when
// the platform refuses the file.
PixelGrid PlatformDrawn(const std::string& file, int width, int height) {
    CanvasHost host(width, height);
    host.Attach();
    CanvasClear(0xFFFFFF, 0);
    GdiObject<HBITMAP> loaded(static_cast<HBITMAP>(
        LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, width + 1, height + 1, LR_LOADFROMFILE)));
    if (!loaded) {
        return {};
    }
    ScratchDc scratch(CreateCompatibleDC(nullptr));
    Selection selected(scratch.Get(), loaded.Get());
    CanvasState& canvas = CanvasOf(*host.Record());
    DrawPendingClear(canvas);
    BitBlt(canvas.memoryDc, 0, 0, width + 1, height + 1, scratch.Get(), 0, 0, SRCCOPY);
    return host.Backing();
}

PixelGrid CanvasDrawn(const std::string& file, int width, int height) {
    CanvasHost host(width, height);
    host.Attach();
    CanvasClear(0xFFFFFF, 0);
    CanvasDrawPicture(DynString(file), 0, 0, width, height);
    return host.Backing();
}

// The mean of the differences of every channel of every pixel.
double MeanDifference(const PixelGrid& a, const PixelGrid& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        for (int shift : {0, 8, 16}) {
            sum += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                            static_cast<int>((b[i] >> shift) & 0xFF));
        }
    }
    return a.empty() ? 0 : sum / (3.0 * static_cast<double>(a.size()));
}

constexpr int kPictureWidth = 127;
constexpr int kPictureHeight = 64;

// A 127 x 64 picture with smooth shades, sharp edges and noise, in one of the layouts.
BitmapPicture Picture(const PictureLayout& layout, bool topDown = false) {
    BitmapPicture picture = PictureIn(layout, kPictureWidth, kPictureHeight, topDown);
    std::mt19937 random(layout.bitCount * 1000 + layout.compression);
    const std::uint32_t entries = layout.bitCount <= 8 ? 1u << layout.bitCount : 0;
    for (std::uint32_t i = 0; i < entries; ++i) {
        picture.palette.push_back(random() & 0xFFFFFF);
    }
    // The platform takes its stretch mode for a core-header picture from the bytes where
    // a longer header keeps its bit count, two bytes past the core header: the first
    // colours and pixels are chosen so that those bytes ask for the mode that the bit
    // count itself asks for (none below 2 bits; for 24 bits, a red first pixel).
    if (layout.bitCount == 1) {
        picture.palette = {0x0000FF, 0xFFFF00};
    }
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const bool noisy = x > 90;
            const bool edge = (x / 8 + y / 8) % 2 == 0;
            if (entries != 0) {
                const std::uint32_t shade = static_cast<std::uint32_t>(x * entries / kPictureWidth);
                picture.pixels.push_back(noisy  ? random() % entries
                                         : edge ? shade
                                                : entries - 1 - shade);
            } else {
                const auto red = static_cast<std::uint32_t>(100 + x);
                const auto green = static_cast<std::uint32_t>(y * 4);
                const std::uint32_t blue = noisy ? random() % 256 : edge ? 255 : 0;
                picture.pixels.push_back(red << 16 | green << 8 | blue);
            }
        }
    }
    return picture;
}

// True when the grid shows the picture from its top left corner, each channel within the
// steps of a 5-bit one.
bool LooksLike(const PixelGrid& grid, const BitmapPicture& picture, int width, int height) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = picture.pixels[static_cast<std::size_t>(y * kPictureWidth + x)];
            pixel = picture.bitCount <= 8 ? picture.palette[pixel] : pixel;
            const std::uint32_t shown = grid[static_cast<std::size_t>(y * width + x)];
            for (int shift : {0, 8, 16}) {
                if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) -
                             static_cast<int>((shown >> shift) & 0xFF)) > 8) {
                    return false;
                }
            }
        }
    }
    return true;
}

// The canvas drawn by both, at the picture's own size and stretched: alike where the
// platform draws the file, white where it refuses it.
void ExpectDrawnAsThePlatformDraws(const std::string& file, const char* name) {
    for (const auto& [width, height] : {std::pair{7, 3}, std::pair{61, 29}}) {
        const PixelGrid platform = PlatformDrawn(file, width, height);
        const PixelGrid canvas = CanvasDrawn(file, width, height);
        if (platform.empty()) {
            EXPECT_EQ(canvas, PixelGrid(canvas.size(), 0xFFFFFF)) << name;
        } else {
            EXPECT_LE(MeanDifference(canvas, platform), 2.0) << name << " at " << width;
            EXPECT_NE(canvas, PixelGrid(canvas.size(), 0xFFFFFF)) << name;
        }
    }
}

} // namespace

TEST(PictureLoading, EveryLayoutIsStretchedAsThePlatformStretchesIt) {
    TempFolder folder;
    int number = 0;
    for (const PictureLayout& layout : PictureLayouts()) {
        const BitmapPicture picture = Picture(layout);
        const std::string file =
            folder.Write("layout" + std::to_string(++number) + ".bmp", MakeBitmapFile(picture));
        // Only where the platform draws the picture right at its own size does its
        // stretch tell how a stretch looks.
        const int width = kPictureWidth - 1;
        const int height = kPictureHeight - 1;
        const PixelGrid platformOneToOne = PlatformDrawn(file, width, height);
        if (platformOneToOne.empty() || !LooksLike(platformOneToOne, picture, width, height)) {
            continue;
        }
        for (const auto& [width, height] : {std::pair{320, 200}, std::pair{100, 50}}) {
            EXPECT_LE(MeanDifference(CanvasDrawn(file, width, height),
                                     PlatformDrawn(file, width, height)),
                      2.0)
                << layout.name << " at " << width << " x " << height;
        }
    }
}

TEST(PictureLoading, TopDownPicturesLookLikeTheirBottomUpTwins) {
    TempFolder folder;
    int number = 0;
    for (const PictureLayout& layout : PictureLayouts()) {
        if (!CanBeTopDown(layout)) {
            continue;
        }
        const std::string bottomUp = folder.Write("twin" + std::to_string(++number) + ".bmp",
                                                  MakeBitmapFile(Picture(layout)));
        const std::string topDown = folder.Write("twin" + std::to_string(++number) + ".bmp",
                                                 MakeBitmapFile(Picture(layout, true)));
        for (const auto& [width, height] : {std::pair{320, 200}, std::pair{100, 50}}) {
            EXPECT_EQ(CanvasDrawn(topDown, width, height), CanvasDrawn(bottomUp, width, height))
                << layout.name << " at " << width << " x " << height;
        }
    }
}

TEST(PictureLoading, RunLengthStreamsThatEndWithoutTheirEndMarkAreDrawnAsFarAsTheyGo) {
    // 8 x 4 pixels, the bottom row first, in colours 1 to 3 of four.
    const struct {
        const char* name;
        int bits;
        std::string stream;
    } streams[] = {
        {"rows, then the bytes end", 8,
         std::string("\x08\x01\x00\x00\x04\x02\x04\x03\x00\x00", 10)},
        {"the bytes end inside a row", 8, std::string("\x08\x01\x00\x00\x03\x02", 6)},
        {"the bytes end inside a jump", 8, std::string("\x08\x01\x00\x02\x02", 5)},
        {"a jump, then the bytes end", 8, std::string("\x04\x02\x00\x02\x02\x01\x02\x03", 8)},
        {"given pixels cut short", 8, std::string("\x08\x01\x00\x00\x00\x04\x01\x02", 8)},
        {"given pixels without their padding", 8,
         std::string("\x08\x01\x00\x00\x00\x03\x01\x02\x03", 9)},
        {"4 bits, the bytes end inside a row", 4, std::string("\x08\x12\x00\x00\x05\x33", 6)},
        {"4 bits, given pixels cut short", 4, std::string("\x08\x12\x00\x00\x00\x06\x12\x31", 8)},
    };
    const PixelGrid palette{0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    TempFolder folder;
    int number = 0;
    for (const auto& stream : streams) {
        const auto length = static_cast<std::uint32_t>(stream.stream.size());
        const std::string file =
            folder.Write("rle" + std::to_string(++number) + ".bmp",
                         RunLengthFileBytes(8, 4, stream.bits, palette, stream.stream, length));
        ExpectDrawnAsThePlatformDraws(file, stream.name);
    }
}

TEST(PictureLoading, PixelsThatEndInsideTheLastRowAreDrawnAsFarAsTheyGo) {
    // 7 x 5 pixels: at 24 bits, rows of 21 bytes and 3 of padding; at 4 bits, of 4 bytes.
    BitmapPicture wide;
    wide.width = 7;
    wide.height = 5;
    BitmapPicture indexed = wide;
    indexed.bitCount = 4;
    indexed.palette = {0x000000, 0xFF8000, 0x00FF80, 0x8000FF};
    for (std::uint32_t i = 0; i < 35; ++i) {
        wide.pixels.push_back(0x102030 * (i % 7 + 1));
        indexed.pixels.push_back(1 + i % 3);
    }
    TempFolder folder;
    int number = 0;
    for (const BitmapPicture& picture : {wide, indexed}) {
        const std::string whole = MakeBitmapFile(picture);
        for (const std::size_t cut : {1, 3, 4, 10}) {
            if (cut >= (7 * picture.bitCount + 31) / 32 * 4) {
                continue; // the whole last row would be gone
            }
            const std::string name =
                std::to_string(picture.bitCount) + " bits cut by " + std::to_string(cut);
            const std::string file = folder.Write("cut" + std::to_string(++number) + ".bmp",
                                                  whole.substr(0, whole.size() - cut));
            ExpectDrawnAsThePlatformDraws(file, name.c_str());
        }
    }
}

TEST(PictureLoading, APictureStretchedAheadIsDrawnAsTheCanvasStretchesIt) {
    TempFolder folder;
    int number = 0;
    for (const PictureLayout& layout : PictureLayouts()) {
        const std::string file = folder.Write("ahead" + std::to_string(++number) + ".bmp",
                                              MakeBitmapFile(Picture(layout)));
        const PixelGrid drawn = CanvasDrawn(file, 320, 200);
        PreparePicture(DynString(file), 0, 0, 320, 200);
        EXPECT_EQ(CanvasDrawn(file, 320, 200), drawn) << layout.name;
    }
}

TEST(PictureLoading, APreparedPictureIsTakenOnlyForItsNameSizeAndBytes) {
    TempFolder folder;
    const std::string file =
        folder.Write("taken.bmp", MakeBitmapFile(Picture(PictureLayouts()[0])));
    PictureFile bytes;
    ASSERT_TRUE(ReadPictureFile(file.c_str(), bytes));
    const std::string other = std::string(bytes.View().substr(0, bytes.size - 1)) + "x";
    const struct {
        const char* name;
        std::string path;
        std::string_view bytes;
        int width;
        bool taken;
    } cases[] = {
        {"the same", file, bytes.View(), 321, true},
        {"another name", file + "x", bytes.View(), 321, false},
        {"another size", file, bytes.View(), 320, false},
        {"other bytes", file, other, 321, false},
    };
    for (const auto& taking : cases) {
        PreparePicture(DynString(file), 0, 0, 320, 200);
        GdiObject<HBITMAP> picture(
            TakePreparedPicture(taking.path.c_str(), taking.bytes, taking.width, 201));
        EXPECT_EQ(static_cast<bool>(picture), taking.taken) << taking.name;
        // Taken or not, it is gone.
        EXPECT_FALSE(GdiObject<HBITMAP>(TakePreparedPicture(file.c_str(), bytes.View(), 321, 201)))
            << taking.name;
    }
}
