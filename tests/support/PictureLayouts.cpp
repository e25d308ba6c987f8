#include "tests/support/PictureLayouts.h"

namespace {

constexpr std::array<std::uint32_t, 3> k565{0xF800, 0x07E0, 0x001F};
constexpr std::array<std::uint32_t, 3> kBlueHigh{0x000000FF, 0x0000FF00, 0x00FF0000};

constexpr PictureLayout kLayouts[] = {
    {"1 bit", 40, 1, 0, {}},
    {"4 bits", 40, 4, 0, {}},
    {"8 bits", 40, 8, 0, {}},
    {"16 bits", 40, 16, 0, {}},
    {"24 bits", 40, 24, 0, {}},
    {"32 bits", 40, 32, 0, {}},
    {"16 bits, 5-6-5 fields", 40, 16, 3, k565},
    {"32 bits, blue high", 40, 32, 3, kBlueHigh},
    {"run-length 8 bits", 40, 8, 1, {}},
    {"run-length 4 bits", 40, 4, 2, {}},
    {"core, 1 bit", 12, 1, 0, {}},
    {"core, 4 bits", 12, 4, 0, {}},
    {"core, 8 bits", 12, 8, 0, {}},
    {"core, 24 bits", 12, 24, 0, {}},
    {"52-byte header, 16 bits, 5-6-5 fields", 52, 16, 3, k565},
    {"56-byte header, 8 bits", 56, 8, 0, {}},
    {"56-byte header, 32 bits, blue high", 56, 32, 3, kBlueHigh},
    {"V4, 8 bits", 108, 8, 0, {}},
    {"V4, 24 bits", 108, 24, 0, {}},
    {"V4, 32 bits, blue high", 108, 32, 3, kBlueHigh},
    {"V5, 4 bits", 124, 4, 0, {}},
    {"V5, 16 bits, 5-6-5 fields", 124, 16, 3, k565},
    {"V5, 32 bits", 124, 32, 0, {}},
    {"V5, run-length 8 bits", 124, 8, 1, {}},
};

} // namespace

std::span<const PictureLayout> PictureLayouts() {
    return kLayouts;
}

bool CanBeTopDown(const PictureLayout& layout) {
    return layout.compression != 1 && layout.compression != 2 && layout.headerSize != 12;
}

BitmapPicture PictureIn(const PictureLayout& layout, std::int32_t width, std::int32_t height,
                        bool topDown) {
    BitmapPicture picture;
    picture.headerSize = layout.headerSize;
    picture.bitCount = layout.bitCount;
    picture.compression = layout.compression;
    picture.width = width;
    picture.height = topDown ? -height : height;
    picture.masks = layout.masks;
    return picture;
}
