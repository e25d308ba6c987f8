// Bitmap files made to order for tests and seed corpora: a picture described by its
// layout and its pixels, written out as the bytes of a .bmp file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct BitmapPicture {
    std::uint32_t headerSize = 40; // 12, 40, 52, 56, 108 or 124
    std::uint32_t bitCount = 24;
    std::uint32_t compression = 0; // 0 none, 1 and 2 run-length 8 and 4 bits, 3 bit fields
    std::int32_t width = 1;
    std::int32_t height = 1; // negative: the rows are stored top row first
    // Colours are 0x00RRGGBB. Up to 8 bits a pixel, pixels are indices into the palette.
    std::vector<std::uint32_t> palette;
    std::vector<std::uint32_t> pixels; // width x |height|, top row first
    // Red, green and blue masks for bit fields; zero masks stand for 5-5-5 or 8-8-8.
    std::array<std::uint32_t, 3> masks{};
    // When not empty, written in place of the coded pixels (a hand-made run-length stream).
    std::string pixelBytes;
};

// Offsets of the header fields that tests damage.
namespace BitmapField {
constexpr std::size_t kFileSize = 2;
constexpr std::size_t kPixelsAt = 10;
constexpr std::size_t kHeaderSize = 14;
constexpr std::size_t kWidth = 18;
constexpr std::size_t kHeight = 22;
constexpr std::size_t kPlanes = 26;
constexpr std::size_t kBitCount = 28;
constexpr std::size_t kCompression = 30;
constexpr std::size_t kImageSize = 34;
constexpr std::size_t kColoursUsed = 46;
} // namespace BitmapField

std::string MakeBitmapFile(const BitmapPicture& picture);

// Writes value, little-endian, into size bytes at offset.
void PutField(std::string& bytes, std::size_t offset, std::uint32_t value, int size = 4);
