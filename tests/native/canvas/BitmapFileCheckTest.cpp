#include "canvas/BitmapFileCheck.h"
#include "tests/support/BitmapMaker.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A 5 x 3 picture in one of the file's layouts, with a different first row.
BitmapPicture Picture(std::uint32_t headerSize, std::uint32_t bits, std::uint32_t compression = 0,
                      bool topDown = false) {
    BitmapPicture picture;
    picture.headerSize = headerSize;
    picture.bitCount = bits;
    picture.compression = compression;
    picture.width = 5;
    picture.height = topDown ? -3 : 3;
    const std::uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const std::uint32_t shades = bits == 1 ? 2 : 4;
    if (bits <= 8) {
        const std::uint32_t entries = headerSize == 12 ? 1u << bits : shades;
        for (std::uint32_t i = 0; i < entries; ++i) {
            picture.palette.push_back(colours[i % 4]);
        }
    }
    for (int i = 0; i < 15; ++i) {
        const std::uint32_t index = i < 5 ? static_cast<std::uint32_t>(i) % shades : shades - 1;
        picture.pixels.push_back(bits <= 8 ? index : colours[index]);
    }
    return picture;
}

BitmapPicture RunLength(std::uint32_t bits, std::string stream) {
    BitmapPicture picture = Picture(40, bits, bits == 8 ? 1 : 2);
    picture.pixelBytes = std::move(stream);
    return picture;
}

// Checked in a block of exactly the file's size, so that a read past it is an error.
bool Accepted(const std::string& file) {
    const std::vector<char> bytes(file.begin(), file.end());
    BitmapLayout layout{};
    return CheckBitmapFile(std::string_view(bytes.data(), bytes.size()), layout);
}

struct Damage {
    const char* name;
    std::string file;
};

void ExpectAllRefused(const std::vector<Damage>& cases) {
    for (const Damage& damaged : cases) {
        EXPECT_FALSE(Accepted(damaged.file)) << damaged.name;
    }
}

// The file of a picture with one field changed.
std::string With(const BitmapPicture& picture, std::size_t field, std::uint32_t value,
                 int size = 4) {
    std::string file = MakeBitmapFile(picture);
    PutField(file, field, value, size);
    return file;
}

std::string WithSize(const BitmapPicture& picture, std::uint32_t width, std::uint32_t height) {
    std::string file = With(picture, BitmapField::kWidth, width);
    PutField(file, BitmapField::kHeight, height);
    return file;
}

} // namespace

TEST(BitmapFileCheck, EveryLayoutIsAcceptedWithItsTableAndPixels) {
    const struct {
        const char* name;
        BitmapPicture picture;
        std::uint32_t colours;
        std::uint32_t maskBytes;
        std::uint64_t pixelBytes; // 0: the stream's own length
    } layouts[] = {
        {"1 bit", Picture(40, 1), 2, 0, 12},
        {"4 bits", Picture(40, 4), 4, 0, 12},
        {"8 bits", Picture(40, 8), 4, 0, 24},
        {"16 bits", Picture(40, 16), 0, 0, 36},
        {"16 bits, bit fields", Picture(40, 16, 3), 0, 12, 36},
        {"24 bits", Picture(40, 24), 0, 0, 48},
        {"32 bits", Picture(40, 32), 0, 0, 60},
        {"32 bits, bit fields", Picture(40, 32, 3), 0, 12, 60},
        {"8 bits, top row first", Picture(40, 8, 0, true), 4, 0, 24},
        {"24 bits, top row first", Picture(40, 24, 0, true), 0, 0, 48},
        {"run-length 8 bits", Picture(40, 8, 1), 4, 0, 0},
        {"run-length 4 bits", Picture(40, 4, 2), 4, 0, 0},
        {"core, 1 bit", Picture(12, 1), 2, 0, 12},
        {"core, 8 bits", Picture(12, 8), 256, 0, 24},
        {"core, 24 bits", Picture(12, 24), 0, 0, 48},
        {"52-byte header, 16 bits, bit fields", Picture(52, 16, 3), 0, 0, 36},
        {"56-byte header, 8 bits", Picture(56, 8), 4, 0, 24},
        {"V4, 4 bits", Picture(108, 4), 4, 0, 12},
        {"V4, 32 bits, bit fields", Picture(108, 32, 3), 0, 0, 60},
        {"V5, 16 bits, bit fields, top row first", Picture(124, 16, 3, true), 0, 0, 36},
        {"V5, 24 bits", Picture(124, 24), 0, 0, 48},
    };
    for (const auto& layout : layouts) {
        const std::string file = MakeBitmapFile(layout.picture);
        BitmapLayout got{};
        ASSERT_TRUE(CheckBitmapFile(file, got)) << layout.name;
        EXPECT_EQ(got.headerSize, layout.picture.headerSize) << layout.name;
        EXPECT_EQ(got.bitCount, layout.picture.bitCount) << layout.name;
        EXPECT_EQ(got.colours, layout.colours) << layout.name;
        EXPECT_EQ(got.maskBytes, layout.maskBytes) << layout.name;
        if (layout.pixelBytes != 0) {
            EXPECT_EQ(got.pixelBytes, layout.pixelBytes) << layout.name;
        }
        EXPECT_EQ(got.pixelsAt + got.pixelBytes, file.size()) << layout.name;
    }
}

TEST(BitmapFileCheck, PicturesUpToTheSizeCapAreAcceptedAndLargerOnesRefused) {
    // 1-bit pictures, their rows all zero bytes.
    auto blank = [](std::uint32_t width, std::uint32_t height) {
        std::string file = WithSize(Picture(40, 1), width, height);
        file.resize(62 + (width + 31) / 32 * 4 * height);
        return file;
    };
    EXPECT_TRUE(Accepted(blank(8192, 8192)));
    EXPECT_TRUE(Accepted(blank(1 << 26, 1)));
    EXPECT_FALSE(Accepted(blank((1 << 26) + 1, 1)));
    EXPECT_FALSE(Accepted(blank(8193, 8192)));
}

TEST(BitmapFileCheck, BadBitCountsAreRefused) {
    ExpectAllRefused({
        {"0 bits", With(Picture(40, 8), BitmapField::kBitCount, 0, 2)},
        {"2 bits", With(Picture(40, 8), BitmapField::kBitCount, 2, 2)},
        {"7 bits", With(Picture(40, 8), BitmapField::kBitCount, 7, 2)},
        {"64 bits", With(Picture(40, 32), BitmapField::kBitCount, 64, 2)},
        {"16 bits in a core header", With(Picture(12, 24), 24, 16, 2)},
        {"32 bits in a core header", With(Picture(12, 24), 24, 32, 2)},
        {"24 bits with bit fields", With(Picture(40, 24), BitmapField::kCompression, 3)},
        {"8 bits with bit fields", With(Picture(40, 8), BitmapField::kCompression, 3)},
        {"run-length 8 at 4 bits", With(Picture(40, 4, 2), BitmapField::kCompression, 1)},
        {"run-length 4 at 8 bits", With(Picture(40, 8, 1), BitmapField::kCompression, 2)},
        {"JPEG inside", With(Picture(40, 24), BitmapField::kCompression, 4)},
        {"PNG inside", With(Picture(40, 24), BitmapField::kCompression, 5)},
        {"alpha bit fields", With(Picture(40, 32), BitmapField::kCompression, 6)},
    });
}

TEST(BitmapFileCheck, BadPaletteSizesAreRefused) {
    const BitmapPicture fourColours = Picture(40, 8);
    // Whole tables in the file, one entry more than a palette holds.
    BitmapPicture long8 = Picture(40, 8);
    long8.palette.resize(257);
    BitmapPicture long32 = Picture(40, 32);
    long32.palette.resize(257);
    BitmapPicture full32 = Picture(40, 32);
    full32.palette.resize(256);
    EXPECT_TRUE(Accepted(MakeBitmapFile(full32))) << "a suggested palette of 256 colours";
    ExpectAllRefused({
        {"3 colours at 1 bit", With(Picture(40, 1), BitmapField::kColoursUsed, 3)},
        {"17 colours at 4 bits", With(Picture(40, 4), BitmapField::kColoursUsed, 17)},
        {"257 colours at 8 bits", With(Picture(40, 8), BitmapField::kColoursUsed, 257)},
        {"4G colours at 24 bits", With(Picture(40, 24), BitmapField::kColoursUsed, 0xFFFFFFFF)},
        {"257 colours at 32 bits", With(Picture(40, 32), BitmapField::kColoursUsed, 257)},
        {"16 colours at 16 bits, not in the file",
         With(Picture(40, 16), BitmapField::kColoursUsed, 16)},
        {"257 colours given at 8 bits", MakeBitmapFile(long8)},
        {"257 colours given at 32 bits", MakeBitmapFile(long32)},
        {"table into the pixels", With(fourColours, BitmapField::kColoursUsed, 200)},
        {"full 8-bit table, four given", With(fourColours, BitmapField::kColoursUsed, 0)},
    });
}

TEST(BitmapFileCheck, RowsMayEndInsideTheLastRowAndNoEarlier) {
    const BitmapPicture layouts[] = {
        Picture(40, 1), Picture(40, 8),      Picture(40, 24),   Picture(40, 32, 3),
        Picture(12, 8), Picture(124, 16, 3), Picture(40, 8, 1), Picture(40, 24, 0, true)};
    for (const BitmapPicture& picture : layouts) {
        const std::string file = MakeBitmapFile(picture);
        BitmapLayout whole{};
        ASSERT_TRUE(CheckBitmapFile(file, whole));
        const std::uint64_t rowBytes = whole.pixelBytes / 3;
        const bool runLength = picture.compression == 1;
        // Short by a byte, by all but one byte of the last row, by the whole of it, and
        // cut inside the headers and the table.
        for (std::uint64_t cut :
             {std::uint64_t{1}, rowBytes - 1, rowBytes, std::uint64_t{file.size() - 60},
              std::uint64_t{file.size() - 20}}) {
            const std::vector<char> bytes(file.begin(), file.end() - static_cast<long>(cut));
            BitmapLayout layout{};
            const bool accepted =
                CheckBitmapFile(std::string_view(bytes.data(), bytes.size()), layout);
            EXPECT_EQ(accepted, !runLength && cut < rowBytes)
                << picture.headerSize << "/" << picture.bitCount << " cut by " << cut;
            if (accepted) {
                EXPECT_EQ(layout.pixelBytes, whole.pixelBytes);
                EXPECT_EQ(layout.storedBytes, whole.pixelBytes - cut);
            }
        }
    }
}

TEST(BitmapFileCheck, RunLengthStreamsMayEndWithoutTheirEndMark) {
    const std::string streams[] = {
        std::string("\5\1\0\0\5\1\0\0\5\1", 10), // no end mark
        std::string("\0\3\1\1\1", 5),            // given pixels without their padding
        std::string("\0\5\1\1", 4),              // given pixels cut short
        std::string("\0\2\1", 3),                // a jump without its offsets
        std::string("\0\0", 2),                  // only an end of line
        std::string("\5\1\0", 3),                // a byte after the last run
    };
    for (const std::string& stream : streams) {
        const BitmapPicture picture = RunLength(stream.size() == 4 ? 4 : 8, stream);
        BitmapLayout layout{};
        EXPECT_TRUE(CheckBitmapFile(MakeBitmapFile(picture), layout)) << stream.size();
        EXPECT_EQ(layout.pixelBytes, stream.size());
        EXPECT_EQ(layout.storedBytes, stream.size());
    }
}

TEST(BitmapFileCheck, BadRunLengthCodesAreRefused) {
    ExpectAllRefused({
        {"no length", With(Picture(40, 8, 1), BitmapField::kImageSize, 0)},
        {"length past the file", With(Picture(40, 8, 1), BitmapField::kImageSize, 4000)},
        {"length of 4G", With(Picture(40, 4, 2), BitmapField::kImageSize, 0xFFFFFFFF)},
        {"top row first", With(Picture(40, 8, 1), BitmapField::kHeight, 0xFFFFFFFD)},
        {"a run past the row before the bytes end",
         MakeBitmapFile(RunLength(8, std::string("\5\1\0\0\6\1", 6)))},
    });
}

TEST(BitmapFileCheck, RunsPastARowOrThePictureAreRefused) {
    ExpectAllRefused({
        {"run past the row", MakeBitmapFile(RunLength(8, std::string("\6\1\0\1", 4)))},
        {"two runs past the row", MakeBitmapFile(RunLength(4, std::string("\3\1\3\1\0\1", 6)))},
        {"literal past the row",
         MakeBitmapFile(RunLength(8, std::string("\0\6\1\1\1\1\1\1\0\1", 10)))},
        {"jump past the row", MakeBitmapFile(RunLength(8, std::string("\0\2\6\0\0\1", 6)))},
        {"jump below the picture", MakeBitmapFile(RunLength(8, std::string("\0\2\0\3\0\1", 6)))},
        {"a fourth end of line",
         MakeBitmapFile(RunLength(8, std::string("\0\0\0\0\0\0\0\0\0\1", 10)))},
        {"a fourth row",
         MakeBitmapFile(RunLength(8, std::string("\5\1\0\0\5\1\0\0\5\1\0\0\5\1\0\0\0\1", 18)))},
    });
    EXPECT_TRUE(Accepted(MakeBitmapFile(RunLength(8, std::string("\5\1\0\0\0\2\0\1\5\0\0\1", 12)))))
        << "a jump to the last row, and a run that fills it";
}

TEST(BitmapFileCheck, HugeZeroAndNegativeSizesAreRefused) {
    ExpectAllRefused({
        {"width 0", With(Picture(40, 24), BitmapField::kWidth, 0)},
        {"negative width", With(Picture(40, 24), BitmapField::kWidth, 0xFFFFFFFB)},
        {"height 0", With(Picture(40, 24), BitmapField::kHeight, 0)},
        {"core width 0", With(Picture(12, 24), BitmapField::kWidth, 0, 2)},
        {"100000 x 100000", WithSize(Picture(40, 1), 100000, 100000)},
        {"2G x 2G", WithSize(Picture(40, 32), 0x7FFFFFFF, 0x7FFFFFFF)},
        {"2G x -2G", WithSize(Picture(40, 32), 0x7FFFFFFF, 0x80000000)},
        {"lowest height", With(Picture(40, 32), BitmapField::kHeight, 0x80000000)},
        {"a row of 4G bits", With(Picture(40, 32), BitmapField::kWidth, 0x08000001)},
    });
}

TEST(BitmapFileCheck, ShortFilesAndBadHeadersAreRefused) {
    const std::string good = MakeBitmapFile(Picture(40, 24));
    std::string magic = good;
    magic[1] = 'A';
    ExpectAllRefused({
        {"zero size", ""},
        {"magic only", "BM"},
        {"file header only", good.substr(0, 14)},
        {"header size only", good.substr(0, 18)},
        {"wrong magic", magic},
        {"0 planes", With(Picture(40, 24), BitmapField::kPlanes, 0, 2)},
        {"2 planes", With(Picture(40, 24), BitmapField::kPlanes, 2, 2)},
        {"2 planes in a core header", With(Picture(12, 24), 22, 2, 2)},
        {"header size 0", With(Picture(40, 24), BitmapField::kHeaderSize, 0)},
        {"header size 16", With(Picture(40, 24), BitmapField::kHeaderSize, 16)},
        {"header size 64", With(Picture(40, 24), BitmapField::kHeaderSize, 64)},
        {"header size 4G", With(Picture(40, 24), BitmapField::kHeaderSize, 0xFFFFFFFF)},
        {"V5 header size, 40 bytes given", With(Picture(40, 24), BitmapField::kHeaderSize, 124)},
    });
}

TEST(BitmapFileCheck, PixelOffsetsOutsideThePixelsAreRefused) {
    const std::string good = MakeBitmapFile(Picture(40, 8));
    const auto size = static_cast<std::uint32_t>(good.size());
    std::vector<Damage> cases;
    for (std::uint32_t offset : {0u, 13u, 54u, 60u, size - 1, size, size + 1, 0xFFFFFFFFu}) {
        std::string file = good;
        PutField(file, BitmapField::kPixelsAt, offset);
        cases.push_back({"pixel offset", file});
    }
    ExpectAllRefused(cases);
}
