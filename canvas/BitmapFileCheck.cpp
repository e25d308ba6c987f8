#include "canvas/BitmapFileCheck.h"

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCompressionRgb = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
constexpr std::uint32_t kCompressionBitfields = 3;
// The platform's palettes hold at most this many colours, whatever the depth.
constexpr std::uint32_t kMaxColours = 256;

std::uint32_t Unsigned(std::string_view bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

// What the checks need from either header layout; every size is held in 64 bits.
struct BitmapShape {
    std::uint32_t headerSize;
    std::int64_t width;
    std::int64_t height; // negative for rows stored top first
    std::uint32_t planes;
    std::uint32_t bitCount;
    std::uint32_t compression;
    std::uint64_t coloursUsed;
    std::uint64_t imageSize; // bytes of pixel data; only compressed pictures must give it
};

bool KnownHeaderSize(std::uint32_t size) {
    switch (size) {
    case kCoreHeaderSize:
    case kInfoHeaderSize:
    case 52:
    case 56:
    case 108:
    case 124:
        return true;
    default:
        return false;
    }
}

bool ReadShape(std::string_view file, BitmapShape& shape) {
    if (file.size() < kBitmapFileHeaderSize + 4) {
        return false;
    }
    shape.headerSize = Unsigned(file, 14, 4);
    if (!KnownHeaderSize(shape.headerSize) ||
        file.size() < kBitmapFileHeaderSize + shape.headerSize) {
        return false;
    }
    if (shape.headerSize == kCoreHeaderSize) {
        shape.width = Unsigned(file, 18, 2);
        shape.height = Unsigned(file, 20, 2);
        shape.planes = Unsigned(file, 22, 2);
        shape.bitCount = Unsigned(file, 24, 2);
        shape.compression = kCompressionRgb;
        shape.coloursUsed = 0;
        shape.imageSize = 0;
        return true;
    }
    shape.width = static_cast<std::int32_t>(Unsigned(file, 18, 4));
    shape.height = static_cast<std::int32_t>(Unsigned(file, 22, 4));
    shape.planes = Unsigned(file, 26, 2);
    shape.bitCount = Unsigned(file, 28, 2);
    shape.compression = Unsigned(file, 30, 4);
    shape.imageSize = Unsigned(file, 34, 4);
    shape.coloursUsed = Unsigned(file, 46, 4);
    return true;
}

bool KnownPixelFormat(const BitmapShape& shape) {
    const std::uint32_t bits = shape.bitCount;
    switch (shape.compression) {
    case kCompressionRgb:
        if (shape.headerSize == kCoreHeaderSize) {
            return bits == 1 || bits == 4 || bits == 8 || bits == 24;
        }
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kCompressionRle8: // run-length pictures are always stored bottom row first
        return bits == 8 && shape.height > 0;
    case kCompressionRle4:
        return bits == 4 && shape.height > 0;
    case kCompressionBitfields:
        return bits == 16 || bits == 32;
    default:
        return false;
    }
}

// The longest stream that a valid coding of the picture needs: two bytes a pixel at
// worst, an end-of-line mark a row, the end mark, and some padding.
std::uint64_t LongestRunLengthStream(std::uint64_t width, std::uint64_t rows) {
    return 2 * width * rows + 2 * rows + 8;
}

// True when a run-length stream keeps every run inside its row and every row inside the
// picture. It ends at the end-of-picture mark or where its bytes end, as the platform
// draws it: a code that the end cuts short draws nothing.
bool RunLengthPixelsAreValid(std::string_view stream, std::uint64_t width, std::uint64_t rows,
                             std::uint32_t bits) {
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
            const std::size_t bytes = count > 0 ? 0 : bits == 8 ? pixels : (pixels + 1) / 2;
            if (stream.size() - at < bytes) {
                return true;
            }
            if (y >= rows || x + pixels > width) {
                return false;
            }
            x += pixels;
            // Runs end on a 16-bit boundary; the last one may lack its padding byte.
            at += bytes + bytes % 2 <= stream.size() - at ? bytes + bytes % 2 : bytes;
        } else if (code == 0) { // end of line
            x = 0;
            if (++y > rows) {
                return false;
            }
        } else if (code == 1) { // end of picture
            return true;
        } else { // a jump right and down
            if (stream.size() - at < 2) {
                return true;
            }
            x += next();
            y += next();
            if (x > width || y >= rows) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool CheckBitmapFile(std::string_view file, BitmapLayout& layout) noexcept {
    const std::uint64_t fileSize = file.size();
    if (fileSize < kBitmapFileHeaderSize || file[0] != 'B' || file[1] != 'M') {
        return false;
    }
    BitmapShape shape{};
    if (!ReadShape(file, shape) || shape.planes != 1 || !KnownPixelFormat(shape)) {
        return false;
    }
    const std::int64_t rows = shape.height < 0 ? -shape.height : shape.height;
    if (shape.width <= 0 || rows <= 0) {
        return false;
    }
    const auto width = static_cast<std::uint64_t>(shape.width);
    const auto height = static_cast<std::uint64_t>(rows);
    if (width * height > kMaxBitmapPixels) {
        return false;
    }

    // The colour table: at most one entry a pixel value, and never more than a palette
    // holds. Above 8 bits it only suggests colours; it is counted but not used.
    const std::uint64_t possible = shape.bitCount <= 8 ? std::uint64_t{1} << shape.bitCount : 0;
    if (shape.coloursUsed > kMaxColours || (possible != 0 && shape.coloursUsed > possible)) {
        return false;
    }
    layout.width = static_cast<std::uint32_t>(width);
    layout.rows = static_cast<std::uint32_t>(height);
    layout.headerSize = shape.headerSize;
    layout.bitCount = shape.bitCount;
    layout.compression = shape.compression;
    layout.colours =
        possible == 0
            ? 0
            : static_cast<std::uint32_t>(shape.coloursUsed ? shape.coloursUsed : possible);
    layout.maskBytes =
        shape.compression == kCompressionBitfields && shape.headerSize == kInfoHeaderSize ? 12 : 0;
    const std::uint64_t tableEnd = kBitmapFileHeaderSize + shape.headerSize + layout.maskBytes +
                                   std::uint64_t{ColourEntrySize(layout)} *
                                       (possible == 0 ? shape.coloursUsed : layout.colours);

    const std::uint64_t pixelsAt = Unsigned(file, 10, 4);
    if (pixelsAt < tableEnd || pixelsAt >= fileSize) {
        return false;
    }
    layout.pixelsAt = pixelsAt;
    const std::uint64_t available = fileSize - pixelsAt;
    if (shape.compression == kCompressionRle8 || shape.compression == kCompressionRle4) {
        // The platform reads as far as the stated length says.
        layout.pixelBytes = shape.imageSize;
        layout.storedBytes = shape.imageSize;
        return shape.imageSize != 0 && shape.imageSize <= available &&
               shape.imageSize <= LongestRunLengthStream(width, height) &&
               RunLengthPixelsAreValid(file.substr(pixelsAt, shape.imageSize), width, height,
                                       shape.bitCount);
    }
    // The rows may end a few bytes early, inside the last row stored (often without its
    // padding); the platform reads the bytes missing there as zeros.
    const std::uint64_t rowBytes = (width * shape.bitCount + 31) / 32 * 4;
    layout.pixelBytes = rowBytes * height;
    layout.storedBytes = layout.pixelBytes < available ? layout.pixelBytes : available;
    return layout.pixelBytes - layout.storedBytes < rowBytes;
}
