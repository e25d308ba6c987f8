// Pixel snapshots as strings: width and height as little-endian signed 32-bit numbers,
// then the pixels of a top-down 32-bit BI_RGB bitmap, 4 bytes each (blue, green, red,
// unused), rows of exactly 4 x width bytes.
#pragma once

#include <cstdint>
#include <string_view>

constexpr std::uint32_t kPixelHeaderSize = 8;

// The length of the snapshot of a width x height picture; 0 when the size is not
// positive or the snapshot would not fit a string.
std::uint32_t PixelStringLength(std::int32_t width, std::int32_t height) noexcept;

// Writes the header of a snapshot into its first 8 bytes.
void WritePixelHeader(char* bytes, std::int32_t width, std::int32_t height) noexcept;

// Width and height from a snapshot's header, when both are positive and the bytes hold
// every pixel that they announce; false otherwise, and for anything shorter than a header.
bool ReadPixelHeader(std::string_view pixels, std::int32_t& width, std::int32_t& height) noexcept;

// Writes a snapshot held in any byte range back onto the current canvas, as
// CanvasSetPixels does with its string's bytes.
void SetCanvasPixels(std::string_view pixels) noexcept;
