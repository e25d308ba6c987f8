#include "canvas/Canvas.h"
#include "canvas/PixelString.h"
#include "runtime/ErrorNumber.h"
#include "tests/support/BitmapMaker.h"
#include "tests/support/PictureLayouts.h"
#include "tests/win/support/BitmapFiles.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kYellow = 0xFFFF00;

// A snapshot's header and pixels, put together by hand.
std::string Snapshot(std::int32_t width, std::int32_t height, const PixelGrid& pixels) {
    std::string bytes(kPixelHeaderSize, '\0');
    WritePixelHeader(bytes.data(), width, height);
    bytes.append(reinterpret_cast<const char*>(pixels.data()), pixels.size() * 4);
    return bytes;
}

// Something on the canvas in more than one colour.
void DrawPattern() {
    CanvasClear(0xFFFFFF, 0);
    CanvasMoveTo(0, 3);
    CanvasLineTo(kWidth, 20, 0x0000FF);
    CanvasClear(0x00FF00, 5);
}

constexpr std::uint32_t kColours[] = {kRed, kGreen, kBlue, kYellow};

// A 4 x 2 picture in one of the file's layouts: four colours in its first row, the last
// of them throughout the second (only two colours at 1 bit).
BitmapPicture LayoutPicture(const PictureLayout& layout, bool topDown) {
    BitmapPicture picture = PictureIn(layout, 4, 2, topDown);
    const std::uint32_t shades = layout.bitCount == 1 ? 2 : 4;
    if (layout.bitCount <= 8) {
        const std::uint32_t entries = layout.headerSize == 12 ? 1u << layout.bitCount : shades;
        for (std::uint32_t i = 0; i < entries; ++i) {
            picture.palette.push_back(kColours[i % shades]);
        }
    }
    for (std::uint32_t i = 0; i < 8; ++i) {
        const std::uint32_t index = i < 4 ? i % shades : shades - 1;
        picture.pixels.push_back(layout.bitCount <= 8 ? index : kColours[index]);
    }
    return picture;
}

PixelGrid LayoutColours(const PictureLayout& layout) {
    PixelGrid colours;
    for (std::uint32_t index : LayoutPicture(layout, false).pixels) {
        colours.push_back(layout.bitCount <= 8 ? kColours[index] : index);
    }
    return colours;
}

} // namespace

TEST(CanvasPictures, EveryLayoutIsDrawnAsItLooks) {
    TempFolder folder;
    CanvasHost host(4, 2);
    host.Attach();
    int number = 0;
    for (const PictureLayout& layout : PictureLayouts()) {
        for (const bool topDown : {false, true}) {
            if (topDown && !CanBeTopDown(layout)) {
                continue;
            }
            const std::string file = folder.Write("layout" + std::to_string(++number) + ".bmp",
                                                  MakeBitmapFile(LayoutPicture(layout, topDown)));
            CanvasClear(0xFFFFFF, 0);
            CanvasDrawPicture(DynString(file), 0, 0, 3, 1);
            EXPECT_EQ(host.Backing(), LayoutColours(layout))
                << layout.name << (topDown ? ", top row first" : "");
        }
    }

    // Stretched to twice its size, a top-down picture keeps its first row on top.
    const PictureLayout plain{"", 40, 24, 0, {}};
    const std::string file =
        folder.Write("stretched.bmp", MakeBitmapFile(LayoutPicture(plain, true)));
    CanvasHost twice(8, 4);
    twice.Attach();
    CanvasDrawPicture(DynString(file), 0, 0, 7, 3);
    const PixelGrid pixels = twice.Backing();
    EXPECT_EQ(pixels[0], kRed);
    EXPECT_EQ(pixels[7], kYellow);
    EXPECT_EQ(pixels[3 * 8], kYellow);
}

TEST(CanvasPictures, APictureIsScaledToTheRectangleWithBothCorners) {
    TempFolder folder;
    const std::string file =
        folder.Write("four.bmp", BitmapFileBytes(2, 2, {kRed, kGreen, kBlue, kYellow}));
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    CanvasClear(0xFFFFFF, 0);
    CanvasDrawPicture(DynString(file), 10, 10, 19, 15);

    // The scaling may blend neighbours, but the corners keep their colours.
    PixelGrid pixels = host.Backing();
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * kWidth + x)]; };
    EXPECT_EQ(at(10, 10), kRed);
    EXPECT_EQ(at(19, 10), kGreen);
    EXPECT_EQ(at(10, 15), kBlue);
    EXPECT_EQ(at(19, 15), kYellow);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool inside = x >= 10 && x <= 19 && y >= 10 && y <= 15;
            ASSERT_EQ(at(x, y) == 0xFFFFFF, !inside) << x << "," << y;
        }
    }
}

TEST(CanvasPictures, CornersAtTheCanvasSizeAskForOneMoreColumnAndRow) {
    constexpr int width = 5;
    constexpr int height = 4;
    PixelGrid picture;
    for (int y = 0; y <= height; ++y) {
        for (int x = 0; x <= width; ++x) {
            picture.push_back(static_cast<std::uint32_t>(0x102030 + 0x20 * x + 0x200000 * y));
        }
    }
    TempFolder folder;
    const std::string file =
        folder.Write("exact.bmp", BitmapFileBytes(width + 1, height + 1, picture));
    CanvasHost host(width, height);
    host.Attach();
    CanvasDrawPicture(DynString(file), 0, 0, width, height);
    PixelGrid expected;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            expected.push_back(picture[static_cast<size_t>(y * (width + 1) + x)]);
        }
    }
    EXPECT_EQ(host.Backing(), expected) << "drawn 1:1, its last column and row clipped";
}

TEST(CanvasPictures, ANameWithoutADotThatIsNoResourceIsReadAsAFile) {
    TempFolder folder;
    folder.Write("plain", BitmapFileBytes(1, 1, {kBlue}));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(folder.Path().c_str());
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    CanvasDrawPicture("plain", 0, 0, kWidth - 1, kHeight - 1);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(host.Backing(), PixelGrid(kWidth * kHeight, kBlue));
}

TEST(CanvasPictures, PicturesThatCannotBeReadLeaveTheCanvasAlone) {
    TempFolder folder;
    const std::string good = BitmapFileBytes(4, 4, PixelGrid(16, kRed));
    std::string wrongMagic = good;
    wrongMagic[0] = 'X';
    std::string absurd = good; // claims 100000 x 100000 pixels
    absurd[18] = absurd[22] = '\xA0';
    absurd[19] = absurd[23] = '\x86';
    absurd[20] = absurd[24] = '\x01';
    // Layouts the platform has no way of drawing right.
    auto refused = [](std::size_t field, std::uint32_t value, int size = 4) {
        BitmapPicture picture;
        picture.pixels = {kRed};
        std::string bytes = MakeBitmapFile(picture);
        PutField(bytes, field, value, size);
        return bytes;
    };
    const std::string files[] = {
        folder.Write("empty.bmp", ""),
        folder.Write("truncated.bmp", good.substr(0, 60)),
        folder.Write("header.bmp", good.substr(0, 20)),
        folder.Write("magic.bmp", wrongMagic),
        folder.Write("absurd.bmp", absurd),
        folder.Path() + "\\missing.bmp",
        folder.Write("png.bmp", refused(BitmapField::kCompression, 5)),
        folder.Write("2 bits.bmp", refused(BitmapField::kBitCount, 2, 2)),
        folder.Write("folded.bmp", refused(BitmapField::kPlanes, 2, 2)),
    };
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    DrawPattern();
    const PixelGrid before = host.Backing();
    ClearErrorNumber();
    for (const std::string& file : files) {
        CanvasDrawPicture(DynString(file), 0, 0, kWidth, kHeight);
        EXPECT_EQ(host.Backing(), before) << file;
    }
    // A name that a NUL would cut short to a good picture's.
    const std::string cut = folder.Write("good.bmp", good) + std::string("\0.x", 3);
    CanvasDrawPicture(DynString(cut), 0, 0, kWidth, kHeight);
    EXPECT_EQ(host.Backing(), before);
    EXPECT_EQ(GetErrorNumber(), 0);
    EXPECT_EQ(host.Backing(), before);
}

TEST(CanvasPictures, RunLengthCodedPicturesAreDrawn) {
    TempFolder folder;
    // Bottom row first: four of colour 1, end of line, four of colour 0, end of picture.
    const std::string rle8("\x04\x01\x00\x00\x04\x00\x00\x01", 8);
    const std::string rle4("\x04\x11\x00\x00\x04\x00\x00\x01", 8);
    const std::string files[] = {
        folder.Write("rle8.bmp", RunLengthFileBytes(4, 2, 8, {kBlue, kGreen}, rle8, 8)),
        folder.Write("rle4.bmp", RunLengthFileBytes(4, 2, 4, {kBlue, kGreen}, rle4, 8)),
    };
    CanvasHost host(4, 2);
    host.Attach();
    for (const std::string& file : files) {
        CanvasClear(0xFFFFFF, 0);
        CanvasDrawPicture(DynString(file), 0, 0, 3, 1);
        EXPECT_EQ(host.Backing(),
                  (PixelGrid{kBlue, kBlue, kBlue, kBlue, kGreen, kGreen, kGreen, kGreen}))
            << file;
    }
}

TEST(CanvasPictures, BrokenRunLengthStreamsAreNotDrawn) {
    const struct {
        const char* name;
        std::string stream;
        std::uint32_t length; // as the header gives it
    } broken[] = {
        {"run past the row", std::string("\xC8\x01\x00\x00\x04\x00\x00\x01", 8), 8},
        {"literal past the row", std::string("\x00\x06\x01\x01\x01\x01\x01\x01\x00\x01", 10), 10},
        {"jump out of the picture", std::string("\x00\x02\x01\x05\x04\x01\x00\x01", 8), 8},
        {"more rows than the picture",
         std::string("\x04\x01\x00\x00\x04\x01\x00\x00\x04\x01\x00\x01", 12), 12},
        {"length beyond the file", std::string("\x04\x01\x00\x00\x04\x01\x00\x01", 8), 4000},
        {"no length", std::string("\x04\x01\x00\x00\x04\x01\x00\x01", 8), 0},
    };
    TempFolder folder;
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    CanvasClear(0xFFFFFF, 0);
    const PixelGrid white = host.Backing();
    int number = 0;
    for (const auto& file : broken) {
        const std::string path =
            folder.Write("rle" + std::to_string(++number) + ".bmp",
                         RunLengthFileBytes(4, 2, 8, {kBlue, kGreen}, file.stream, file.length));
        CanvasDrawPicture(DynString(path), 0, 0, kWidth, kHeight);
        EXPECT_EQ(host.Backing(), white) << file.name;
    }
}

TEST(CanvasPictures, ReversedCornersDrawNothing) {
    TempFolder folder;
    const std::string file = folder.Write("red.bmp", BitmapFileBytes(1, 1, {kRed}));
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    DrawPattern();
    const PixelGrid before = host.Backing();
    CanvasDrawPicture(DynString(file), 10, 10, 5, 20);
    CanvasDrawPicture(DynString(file), 10, 10, 20, 8);
    EXPECT_EQ(host.Backing(), before);
    CanvasDrawPicture(DynString(file), 10, 10, 10, 10);
    EXPECT_EQ(host.Backing()[10 * kWidth + 10], kRed);
}

TEST(CanvasPictures, ASnapshotHoldsTheCanvasTopRowFirst) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    DrawPattern();
    DynString snapshot = CanvasGetPixels();
    ASSERT_EQ(snapshot.Length(), kPixelHeaderSize + 4u * kWidth * kHeight);
    std::int32_t width = 0;
    std::int32_t height = 0;
    ASSERT_TRUE(ReadPixelHeader(snapshot.View(), width, height));
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
    EXPECT_EQ(FromSnapshot(snapshot), host.Backing());
}

TEST(CanvasPictures, ASnapshotWrittenBackChangesNoPixelAndAnotherOneDoes) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    DrawPattern();
    const PixelGrid before = host.Backing();
    DynString snapshot = CanvasGetPixels();
    CanvasSetPixels(snapshot);
    EXPECT_EQ(host.Backing(), before);
    EXPECT_EQ(host.Screen(), before);

    PixelGrid changed = before;
    changed[0] = kYellow;
    changed.back() = kBlue;
    CanvasSetPixels(DynString(Snapshot(kWidth, kHeight, changed)));
    EXPECT_EQ(host.Backing(), changed);
    EXPECT_EQ(host.Screen(), changed);
}

TEST(CanvasPictures, ShortOrLyingSnapshotsChangeNothing) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    DrawPattern();
    const PixelGrid before = host.Backing();
    const PixelGrid blue(kWidth * kHeight, kBlue);
    const std::string whole = Snapshot(kWidth, kHeight, blue);
    const std::string bad[] = {
        "",
        whole.substr(0, 7),
        whole.substr(0, 8),
        whole.substr(0, whole.size() - 1),
        Snapshot(kWidth, kHeight + 1, blue),
        Snapshot(0, kHeight, blue),
        Snapshot(kWidth, -kHeight, blue),
        Snapshot(-kWidth, kHeight, blue),
        Snapshot(0x40000000, 0x40000000, blue), // 4 x W x H wraps around in 32 bits
    };
    for (const std::string& pixels : bad) {
        CanvasSetPixels(DynString(pixels));
        EXPECT_EQ(host.Backing(), before) << pixels.size() << " bytes";
    }
}

TEST(CanvasPictures, ASnapshotIsNeverReadPastItsEnd) {
    CanvasHost host(kWidth, kHeight);
    host.Attach();
    DrawPattern();
    const PixelGrid before = host.Backing();

    // The bytes end where an inaccessible page begins.
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const size_t page = system.dwPageSize;
    const std::string whole = Snapshot(kWidth, kHeight, PixelGrid(kWidth * kHeight, kBlue));
    const size_t span = (whole.size() + page - 1) / page * page;
    auto* block = static_cast<char*>(
        VirtualAlloc(nullptr, span + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(block, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(block + span, page, PAGE_NOACCESS, &old));

    // One row short of what its header promises.
    const size_t shortSize = whole.size() - 4 * kWidth;
    char* shortStart = block + span - shortSize;
    std::memcpy(shortStart, whole.data(), shortSize);
    SetCanvasPixels(std::string_view(shortStart, shortSize));
    EXPECT_EQ(host.Backing(), before);

    // Complete, it is read up to its last byte.
    char* start = block + span - whole.size();
    std::memcpy(start, whole.data(), whole.size());
    SetCanvasPixels(std::string_view(start, whole.size()));
    EXPECT_EQ(host.Backing(), PixelGrid(kWidth * kHeight, kBlue));

    VirtualFree(block, 0, MEM_RELEASE);
}
