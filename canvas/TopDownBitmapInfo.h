#pragma once
// The description of 32-bit BI_RGB pixels with the top row first, as snapshots, pixel
// reads and the benchmark's floor exchange them with the platform.

#include "platform/Platform.h"

#include <cstdint>

inline BITMAPINFO TopDownBitmapInfo(std::int32_t width, std::int32_t height) noexcept {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
