// A look at a .bmp file before the system loads it: the loader trusts the headers, so a
// damaged or hostile file could have it allocate gigabytes, read past the end of the
// file, or draw whatever a broken run-length stream makes of the rows.
#pragma once

#include <cstdint>
#include <string_view>

// Enough of the file's start for every header and colour mask that is checked.
constexpr std::size_t kBitmapHeadSize = 14 + 124 + 12;

// Pictures with more pixels than this are refused (8192 x 8192).
constexpr std::uint64_t kMaxBitmapPixels = std::uint64_t{1} << 26;

// What the headers say about the pixels.
struct BitmapLayout {
    std::uint32_t width;
    std::uint32_t rows;
    std::uint32_t runLengthBits; // 8 or 4 for run-length coded pixels, else 0
    std::uint64_t pixelsAt;      // offset of the pixels in the file
    std::uint32_t pixelBytes;    // run-length coded pixels: the stream's length
};

// True when the headers at the start of a file of fileSize bytes describe a bitmap of a
// known layout and a sensible size, with its colour table and pixels inside the file.
bool ReadBitmapLayout(std::string_view head, std::uint64_t fileSize, BitmapLayout& layout) noexcept;

// True when a run-length stream keeps every run inside its row and every row inside the
// picture, and ends with the end-of-picture mark.
bool RunLengthPixelsLookSound(std::string_view stream, const BitmapLayout& layout) noexcept;
