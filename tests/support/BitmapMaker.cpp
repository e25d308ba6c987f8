#include "tests/support/BitmapMaker.h"

#include <bit>

namespace {

void Append(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// The colour 0x00RRGGBB packed into the masks, each channel scaled to its mask's width.
std::uint32_t Pack(std::uint32_t colour, const std::array<std::uint32_t, 3>& masks) {
    std::uint32_t value = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const std::uint32_t mask = masks[static_cast<std::size_t>(channel)];
        if (mask == 0) {
            continue;
        }
        const int shift = std::countr_zero(mask);
        const std::uint32_t top = mask >> shift;
        const std::uint32_t level = (colour >> (16 - 8 * channel)) & 0xFF;
        value |= ((level * top + 127) / 255) << shift;
    }
    return value;
}

std::array<std::uint32_t, 3> MasksOf(const BitmapPicture& picture) {
    if (picture.masks != std::array<std::uint32_t, 3>{}) {
        return picture.masks;
    }
    if (picture.bitCount == 16) {
        return {0x7C00, 0x03E0, 0x001F};
    }
    return {0xFF0000, 0x00FF00, 0x0000FF};
}

std::uint32_t Rows(const BitmapPicture& picture) {
    return static_cast<std::uint32_t>(picture.height < 0 ? -picture.height : picture.height);
}

// The pixel of row y (0 = top) and column x.
std::uint32_t PixelAt(const BitmapPicture& picture, std::uint32_t x, std::uint32_t y) {
    const std::size_t at = std::size_t{y} * static_cast<std::uint32_t>(picture.width) + x;
    return at < picture.pixels.size() ? picture.pixels[at] : 0;
}

// The rows in the order the file stores them.
std::vector<std::uint32_t> StoredRows(const BitmapPicture& picture) {
    std::vector<std::uint32_t> order;
    for (std::uint32_t i = 0; i < Rows(picture); ++i) {
        order.push_back(picture.height < 0 ? i : Rows(picture) - 1 - i);
    }
    return order;
}

std::string PlainPixels(const BitmapPicture& picture) {
    const auto width = static_cast<std::uint32_t>(picture.width);
    const std::uint32_t bits = picture.bitCount;
    const std::size_t rowBytes = (std::size_t{width} * bits + 31) / 32 * 4;
    const auto masks = MasksOf(picture);
    std::string bytes;
    for (std::uint32_t y : StoredRows(picture)) {
        std::string row(rowBytes, '\0');
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t pixel = PixelAt(picture, x, y);
            if (bits <= 8) {
                const std::size_t bit = std::size_t{x} * bits;
                const int shift = static_cast<int>(8 - bits - bit % 8);
                row[bit / 8] = static_cast<char>(row[bit / 8] | (pixel << shift));
            } else {
                std::string value;
                Append(value, bits == 24 ? pixel : Pack(pixel, masks), static_cast<int>(bits / 8));
                row.replace(std::size_t{x} * bits / 8, value.size(), value);
            }
        }
        bytes += row;
    }
    return bytes;
}

// Runs of equal pixels, at most 255 long; each row ends with an end-of-line mark and the
// picture with the end mark.
std::string RunLengthPixels(const BitmapPicture& picture) {
    const auto width = static_cast<std::uint32_t>(picture.width);
    std::string bytes;
    for (std::uint32_t y : StoredRows(picture)) {
        for (std::uint32_t x = 0; x < width;) {
            const std::uint32_t pixel = PixelAt(picture, x, y);
            std::uint32_t count = 1;
            while (x + count < width && count < 255 && PixelAt(picture, x + count, y) == pixel) {
                ++count;
            }
            Append(bytes, count, 1);
            Append(bytes, picture.bitCount == 4 ? pixel * 0x11 : pixel, 1);
            x += count;
        }
        bytes += std::string("\0\0", 2);
    }
    return bytes + std::string("\0\1", 2);
}

std::string InfoHeader(const BitmapPicture& picture, std::uint32_t imageSize) {
    std::string header;
    Append(header, picture.headerSize, 4);
    if (picture.headerSize == 12) {
        Append(header, static_cast<std::uint32_t>(picture.width), 2);
        Append(header, static_cast<std::uint32_t>(picture.height), 2);
        Append(header, 1, 2);
        Append(header, picture.bitCount, 2);
        return header;
    }
    Append(header, static_cast<std::uint32_t>(picture.width), 4);
    Append(header, static_cast<std::uint32_t>(picture.height), 4);
    Append(header, 1, 2);
    Append(header, picture.bitCount, 2);
    Append(header, picture.compression, 4);
    Append(header, imageSize, 4);
    Append(header, 2835, 4); // 72 dots an inch
    Append(header, 2835, 4);
    Append(header, static_cast<std::uint32_t>(picture.palette.size()), 4);
    Append(header, 0, 4);
    if (picture.headerSize >= 52) { // the masks belong to the longer headers
        const bool fields = picture.compression == 3;
        for (std::uint32_t mask : MasksOf(picture)) {
            Append(header, fields ? mask : 0, 4);
        }
    }
    if (picture.headerSize >= 56) {
        Append(header, 0, 4); // alpha mask
    }
    if (picture.headerSize >= 108) {
        Append(header, 0x73524742, 4); // the colour space 'sRGB'
        header.append(36 + 12, '\0');  // end points and gamma, unused for sRGB
    }
    if (picture.headerSize == 124) {
        header.append(16, '\0'); // intent, profile and a reserved field
    }
    return header;
}

} // namespace

std::string MakeBitmapFile(const BitmapPicture& picture) {
    std::string pixels = picture.pixelBytes;
    if (pixels.empty()) {
        pixels = picture.compression == 1 || picture.compression == 2 ? RunLengthPixels(picture)
                                                                      : PlainPixels(picture);
    }
    std::string body = InfoHeader(picture, static_cast<std::uint32_t>(pixels.size()));
    if (picture.compression == 3 && picture.headerSize == 40) {
        for (std::uint32_t mask : MasksOf(picture)) {
            Append(body, mask, 4);
        }
    }
    for (std::uint32_t colour : picture.palette) {
        Append(body, colour, picture.headerSize == 12 ? 3 : 4);
    }
    const auto pixelsAt = static_cast<std::uint32_t>(14 + body.size());
    std::string file = "BM";
    Append(file, pixelsAt + static_cast<std::uint32_t>(pixels.size()), 4);
    Append(file, 0, 4);
    Append(file, pixelsAt, 4);
    return file + body + pixels;
}

void PutField(std::string& bytes, std::size_t offset, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}
