#include "canvas/BitmapFileCheck.h"

namespace {

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCompressionRgb = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
constexpr std::uint32_t kCompressionBitfields = 3;

std::uint32_t Unsigned(std::string_view bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

// What the checks need from either header layout.
struct BitmapShape {
    std::uint32_t headerSize;
    std::int64_t width;
    std::int64_t height; // negative for rows stored top first
    std::uint32_t planes;
    std::uint32_t bitCount;
    std::uint32_t compression;
    std::uint32_t coloursUsed;
    std::uint32_t imageSize; // bytes of pixel data; only compressed pictures must give it
};

bool ReadShape(std::string_view head, BitmapShape& shape) {
    shape.headerSize = Unsigned(head, 14, 4);
    if (shape.headerSize == kCoreHeaderSize) {
        shape.width = Unsigned(head, 18, 2);
        shape.height = Unsigned(head, 20, 2);
        shape.planes = Unsigned(head, 22, 2);
        shape.bitCount = Unsigned(head, 24, 2);
        shape.compression = kCompressionRgb;
        shape.coloursUsed = 0;
        shape.imageSize = 0;
        return true;
    }
    switch (shape.headerSize) {
    case 40:
    case 52:
    case 56:
    case 108:
    case 124:
        break;
    default:
        return false;
    }
    if (head.size() < kFileHeaderSize + shape.headerSize)
        return false;
    shape.width = static_cast<std::int32_t>(Unsigned(head, 18, 4));
    shape.height = static_cast<std::int32_t>(Unsigned(head, 22, 4));
    shape.planes = Unsigned(head, 26, 2);
    shape.bitCount = Unsigned(head, 28, 2);
    shape.compression = Unsigned(head, 30, 4);
    shape.imageSize = Unsigned(head, 34, 4);
    shape.coloursUsed = Unsigned(head, 46, 4);
    return true;
}

bool KnownPixelFormat(const BitmapShape& shape) {
    switch (shape.compression) {
    case kCompressionRgb:
        return shape.bitCount == 1 || shape.bitCount == 4 || shape.bitCount == 8 ||
               shape.bitCount == 16 || shape.bitCount == 24 || shape.bitCount == 32;
    case kCompressionRle8:
        return shape.bitCount == 8 && shape.height > 0;
    case kCompressionRle4:
        return shape.bitCount == 4 && shape.height > 0;
    case kCompressionBitfields:
        return (shape.bitCount == 16 || shape.bitCount == 32) &&
               shape.headerSize != kCoreHeaderSize;
    default:
        return false;
    }
}

// Where the colour table ends, counted from the start of the file.
std::uint64_t ColourTableEnd(const BitmapShape& shape) {
    std::uint64_t end = kFileHeaderSize + shape.headerSize;
    if (shape.compression == kCompressionBitfields && shape.headerSize == kInfoHeaderSize)
        end += 12; // the three colour masks follow the short header
    if (shape.bitCount <= 8) {
        std::uint64_t colours = shape.coloursUsed != 0 ? shape.coloursUsed : 1u << shape.bitCount;
        end += colours * (shape.headerSize == kCoreHeaderSize ? 3 : 4);
    }
    return end;
}

// The longest stream that a sound coding of the picture needs: two bytes a pixel at
// worst, an end-of-line mark a row, the end mark, and some padding.
std::uint64_t LongestRunLengthStream(std::uint64_t width, std::uint64_t rows) {
    return 2 * width * rows + 2 * rows + 8;
}

} // namespace

bool ReadBitmapLayout(std::string_view head, std::uint64_t fileSize,
                      BitmapLayout& layout) noexcept {
    if (head.size() < kFileHeaderSize + kCoreHeaderSize || fileSize < head.size())
        return false;
    if (head[0] != 'B' || head[1] != 'M')
        return false;
    BitmapShape shape{};
    if (!ReadShape(head, shape) || shape.planes != 1 || !KnownPixelFormat(shape))
        return false;
    const std::int64_t rows = shape.height < 0 ? -shape.height : shape.height;
    if (shape.width <= 0 || rows <= 0)
        return false;
    const auto width = static_cast<std::uint64_t>(shape.width);
    const auto height = static_cast<std::uint64_t>(rows);
    if (width * height > kMaxBitmapPixels)
        return false;
    if (shape.bitCount <= 8 && shape.coloursUsed > (1u << shape.bitCount))
        return false;
    if (ColourTableEnd(shape) > fileSize)
        return false;
    const std::uint64_t pixelsAt = Unsigned(head, 10, 4);
    if (pixelsAt < kFileHeaderSize + shape.headerSize || pixelsAt >= fileSize)
        return false;
    layout.width = static_cast<std::uint32_t>(width);
    layout.rows = static_cast<std::uint32_t>(height);
    layout.pixelsAt = pixelsAt;
    if (shape.compression == kCompressionRle8 || shape.compression == kCompressionRle4) {
        // The decoder reads as far as the stated length says.
        layout.runLengthBits = shape.bitCount;
        layout.pixelBytes = shape.imageSize;
        return shape.imageSize != 0 && shape.imageSize <= fileSize - pixelsAt &&
               shape.imageSize <= LongestRunLengthStream(width, height);
    }
    const std::uint64_t rowBytes = (width * shape.bitCount + 31) / 32 * 4;
    layout.runLengthBits = 0;
    layout.pixelBytes = 0;
    return rowBytes * height <= fileSize - pixelsAt;
}

bool RunLengthPixelsLookSound(std::string_view stream, const BitmapLayout& layout) noexcept {
    const std::uint64_t width = layout.width;
    const std::uint64_t rows = layout.rows;
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::size_t at = 0;
    auto next = [&]() -> std::uint32_t { return static_cast<unsigned char>(stream[at++]); };
    while (stream.size() - at >= 2) {
        const std::uint32_t count = next();
        const std::uint32_t code = next();
        if (count > 0 || code >= 3) {
            // A run of count pixels, or code pixels given one by one.
            const std::uint32_t pixels = count > 0 ? count : code;
            if (y >= rows || x + pixels > width)
                return false;
            x += pixels;
            if (count == 0) {
                const std::size_t bytes = layout.runLengthBits == 8 ? pixels : (pixels + 1) / 2;
                const std::size_t padded = (bytes + 1) / 2 * 2; // runs end on a 16-bit boundary
                if (stream.size() - at < padded)
                    return false;
                at += padded;
            }
        } else if (code == 0) { // end of line
            x = 0;
            if (++y > rows)
                return false;
        } else if (code == 1) { // end of picture
            return true;
        } else { // a jump right and down
            if (stream.size() - at < 2)
                return false;
            x += next();
            y += next();
            if (x > width || y >= rows)
                return false;
        }
    }
    return false;
}
