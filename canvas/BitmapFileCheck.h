// A look at the bytes of a .bmp file before they are drawn: the platform's bitmap
// functions trust the headers, so a damaged or hostile file could have them allocate
// gigabytes, read past the end of the file, or draw whatever a broken run-length stream
// makes of the rows. The bytes checked are the bytes that are drawn.
#pragma once

#include <cstdint>
#include <string_view>

// Pictures with more pixels than this are refused (8192 x 8192).
constexpr std::uint64_t kMaxBitmapPixels = std::uint64_t{1} << 26;

// The longest file that is read: a picture at the size cap at 32 bits a pixel, with the
// largest headers and colour table. Longer files are refused unread.
constexpr std::uint64_t kMaxBitmapFileSize = 4 * kMaxBitmapPixels + 14 + 124 + 256 * 4;

// Where the file header ends and the picture's own header begins.
constexpr std::size_t kBitmapFileHeaderSize = 14;

// What the headers of a valid file say, in the terms the drawing needs.
struct BitmapLayout {
    std::uint32_t width;
    std::uint32_t rows;
    std::uint32_t headerSize;  // 12 (core), 40, 52, 56, 108 (V4) or 124 (V5)
    std::uint32_t bitCount;    // 1, 4, 8, 16, 24 or 32
    std::uint32_t compression; // 0 none, 1 and 2 run-length 8 and 4 bits, 3 bit fields
    std::uint32_t colours;     // entries of the colour table; 0 above 8 bits a pixel
    std::uint32_t maskBytes;   // colour masks between a 40-byte header and the table
    std::uint64_t pixelsAt;    // offset of the pixels in the file
    std::uint64_t pixelBytes;  // bytes of pixels the picture takes from there
    std::uint64_t storedBytes; // of those, the bytes in the file; the rest read as zeros
};

// Bytes of one colour table entry: three in a core-header file, else four.
constexpr std::uint32_t ColourEntrySize(const BitmapLayout& layout) {
    return layout.headerSize == 12 ? 3 : 4;
}

// True when the bytes are a bitmap file of a known layout and a sensible size, with its
// colour table inside the file, its pixels too but for a few bytes of the last row, and,
// when run-length coded, every run inside its row and every row inside the picture.
bool CheckBitmapFile(std::string_view file, BitmapLayout& layout) noexcept;
