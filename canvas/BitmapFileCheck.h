// A look at a .bmp file's headers before the system loads it: the loader trusts what
// they say, so a damaged or hostile file could make it allocate gigabytes or read past
// the end of the file.
#pragma once

#include <cstdint>
#include <string_view>

// Enough of the file's start for every header and colour mask that is checked.
constexpr std::size_t kBitmapHeadSize = 14 + 124 + 12;

// Pictures with more pixels than this are refused (8192 x 8192).
constexpr std::uint64_t kMaxBitmapPixels = std::uint64_t{1} << 26;

// True when the headers at the start of a file of fileSize bytes describe a bitmap of a
// known layout, a sensible size, and with its colour table and pixel rows inside the file.
bool BitmapFileLooksSound(std::string_view head, std::uint64_t fileSize) noexcept;
