// Where a picture goes: the rectangle between two corners, both of which belong to it.
#pragma once

#include "canvas/BitmapFileCheck.h"
#include "runtime/DynString.h"
#include "runtime/NumberText.h"

#include <cstdint>
#include <string_view>

struct PictureRectangle {
    int left;
    int top;
    int width;
    int height;
};

// False when there is nothing to draw: an empty or reversed rectangle, a huge one that no
// picture can be made for, or a name that is empty or holds a NUL, which would make the
// system read a different, shorter name.
inline bool FindPictureRectangle(const DynString& name, double x1, double y1, double x2, double y2,
                                 PictureRectangle& rectangle) noexcept {
    const std::int32_t left = RoundToInt32(x1);
    const std::int32_t top = RoundToInt32(y1);
    const std::int64_t width = std::int64_t{RoundToInt32(x2)} - left + 1;
    const std::int64_t height = std::int64_t{RoundToInt32(y2)} - top + 1;
    if (width < 1 || height < 1) {
        return false;
    }
    const auto wide = static_cast<std::uint64_t>(width);
    const auto high = static_cast<std::uint64_t>(height);
    if (wide > kMaxBitmapPixels || high > kMaxBitmapPixels || wide * high > kMaxBitmapPixels) {
        return false;
    }
    const std::string_view text = name.View();
    if (text.empty() || text.find('\0') != std::string_view::npos) {
        return false;
    }
    rectangle = {left, top, static_cast<int>(width), static_cast<int>(height)};
    return true;
}
