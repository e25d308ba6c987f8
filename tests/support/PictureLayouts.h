// The layouts of a picture file that the canvas draws, written once for the tests that
// draw a picture in each of them.
#pragma once

#include "tests/support/BitmapMaker.h"

#include <array>
#include <cstdint>
#include <span>

// A layout: the header, the bits of a pixel, the compression and the bit fields' masks.
struct PictureLayout {
    const char* name;
    std::uint32_t headerSize;
    std::uint32_t bitCount;
    std::uint32_t compression;
    std::array<std::uint32_t, 3> masks;
};

// Each header size, bit count, run-length coding and bit fields, bottom row first.
std::span<const PictureLayout> PictureLayouts();

// Run-length pictures and core headers know no other order than bottom row first.
bool CanBeTopDown(const PictureLayout& layout);

// A picture of the layout, of the size given and no pixels or palette yet; top row first
// where topDown.
BitmapPicture PictureIn(const PictureLayout& layout, std::int32_t width, std::int32_t height,
                        bool topDown = false);
