// Writes the seed corpus of BitmapFileCheckFuzz into the folder given: a small picture in
// every layout the check knows, run-length streams with jumps and literal runs, and a few
// damaged files.
#include "tests/support/BitmapMaker.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

BitmapPicture Picture(std::uint32_t headerSize, std::uint32_t bits, std::uint32_t compression,
                      bool topDown) {
    BitmapPicture picture;
    picture.headerSize = headerSize;
    picture.bitCount = bits;
    picture.compression = compression;
    picture.width = 6;
    picture.height = topDown ? -3 : 3;
    const std::uint32_t entries = bits > 8 ? 0 : headerSize == 12 ? 1u << bits : bits == 1 ? 2 : 5;
    for (std::uint32_t i = 0; i < entries; ++i) {
        picture.palette.push_back(0x3F1F0Fu * (i + 1));
    }
    for (std::uint32_t i = 0; i < 18; ++i) {
        picture.pixels.push_back(bits <= 8 ? (i / 2) % (entries < 5 ? 2 : 5) : 0x102030u * i);
    }
    return picture;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: BitmapSeeds folder\n");
        return 2;
    }
    const std::string folder = argv[1];
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
    };
    const struct {
        std::uint32_t headerSize, bits, compression;
    } layouts[] = {{40, 1, 0},  {40, 4, 0},  {40, 8, 0},  {40, 16, 0},  {40, 24, 0}, {40, 32, 0},
                   {40, 16, 3}, {40, 32, 3}, {40, 8, 1},  {40, 4, 2},   {12, 1, 0},  {12, 4, 0},
                   {12, 24, 0}, {52, 16, 3}, {56, 32, 3}, {108, 32, 3}, {124, 16, 3}};
    for (const auto& layout : layouts) {
        const std::string name = "h" + std::to_string(layout.headerSize) + "-" +
                                 std::to_string(layout.bits) + "bit-c" +
                                 std::to_string(layout.compression);
        write(name,
              MakeBitmapFile(Picture(layout.headerSize, layout.bits, layout.compression, false)));
        if (layout.compression != 1 && layout.compression != 2 && layout.headerSize != 12) {
            write(name + "-topdown", MakeBitmapFile(Picture(layout.headerSize, layout.bits,
                                                            layout.compression, true)));
        }
    }
    // Literal runs, a jump, and an end of line in the middle of a row.
    BitmapPicture rle8 = Picture(40, 8, 1, false);
    rle8.pixelBytes = std::string("\0\3\1\2\3\0\2\1\0\2\1\1\0\0\6\4\0\1", 18);
    write("rle8-literal-jump", MakeBitmapFile(rle8));
    BitmapPicture rle4 = Picture(40, 4, 2, false);
    rle4.pixelBytes = std::string("\0\5\x12\x34\x50\0\0\0\6\x21\0\2\0\1\0\1", 16);
    write("rle4-literal-jump", MakeBitmapFile(rle4));
    std::string palette = MakeBitmapFile(Picture(40, 24, 0, false));
    PutField(palette, BitmapField::kColoursUsed, 0xFFFFFFFF);
    write("damaged-palette", palette);
    const std::string truncated = MakeBitmapFile(Picture(40, 8, 1, false));
    write("damaged-truncated", truncated.substr(0, truncated.size() - 3));
    return 0;
}
