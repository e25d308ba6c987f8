// A picture file's bytes, read once and checked, and their stretch into a bitmap of a
// given size, the way the platform stretches a picture that it loads at a size.
#pragma once

#include "canvas/BitmapFileCheck.h"
#include "platform/Platform.h"

#include <cstddef>
#include <memory>
#include <string_view>

// The same bytes are checked and drawn, whatever happens to the file meanwhile.
struct PictureFile {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;

    std::string_view View() const noexcept { return {bytes.get(), size}; }
};

// False when the file cannot be opened or read whole, or is empty or too long to be a
// picture.
bool ReadPictureFile(const char* path, PictureFile& picture) noexcept;

// A new bitmap of width x height, compatible with the DC, holding the checked picture
// stretched to it (black where a run-length picture leaves pixels out), halftoned above
// 1 bit a pixel; null when it cannot be made or drawn.
HBITMAP StretchPictureFile(HDC dc, const PictureFile& file, const BitmapLayout& layout, int width,
                           int height) noexcept;
