// The picture file check on random bytes. It must never read outside them, and whatever
// it accepts must be drawable from them alone: headers, colour table and pixels inside
// the file in that order (but for a few bytes of the last row), the size under the cap,
// and every pixel of a run-length stream, decoded the way the platform decodes it, inside
// the picture.
#include "canvas/BitmapFileCheck.h"
#include "fuzz/FuzzCheck.h"

#include <cstdint>
#include <string_view>

namespace {

// Walks a run-length stream pixel by pixel as the platform draws it, until its end mark
// or until a code finds the bytes it needs missing.
void CheckRunLengthPixels(std::string_view stream, const BitmapLayout& layout) {
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::size_t at = 0;
    auto left = [&]() { return stream.size() - at; };
    auto byte = [&]() {
        Check(at < stream.size(), "run-length stream read past its length");
        return static_cast<unsigned char>(stream[at++]);
    };
    auto pixel = [&]() {
        Check(x < layout.width && y < layout.rows, "run-length pixel outside the picture");
        ++x;
    };
    while (left() >= 2) {
        const unsigned count = byte();
        const unsigned code = byte();
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i) {
                pixel();
            }
        } else if (code == 0) {
            x = 0;
            ++y;
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            if (left() < 2) {
                return;
            }
            x += byte();
            y += byte();
        } else {
            const unsigned bytes = layout.bitCount == 8 ? code : (code + 1) / 2;
            if (left() < bytes) {
                return;
            }
            for (unsigned i = 0; i < code; ++i) {
                pixel();
            }
            for (unsigned i = 0; i < bytes + bytes % 2 && left() > 0; ++i) {
                byte();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    BitmapLayout layout{};
    if (!CheckBitmapFile(file, layout)) {
        return 0;
    }
    Check(layout.width > 0 && layout.rows > 0, "empty picture accepted");
    Check(std::uint64_t{layout.width} * layout.rows <= kMaxBitmapPixels, "picture over the cap");
    Check(layout.colours <= 256 && (layout.bitCount > 8 || layout.colours <= 1u << layout.bitCount),
          "colour table larger than the pixels can use");
    const std::uint64_t tableEnd = kBitmapFileHeaderSize + layout.headerSize + layout.maskBytes +
                                   std::uint64_t{layout.colours} * ColourEntrySize(layout);
    Check(tableEnd <= layout.pixelsAt, "colour table runs into the pixels");
    Check(layout.storedBytes <= layout.pixelBytes && layout.pixelsAt + layout.storedBytes <= size,
          "pixels past the end of the file");
    if (layout.compression == 1 || layout.compression == 2) {
        Check(layout.storedBytes == layout.pixelBytes, "run-length stream cut short");
        CheckRunLengthPixels(file.substr(layout.pixelsAt, layout.pixelBytes), layout);
    } else {
        const std::uint64_t rowBytes =
            (std::uint64_t{layout.width} * layout.bitCount + 31) / 32 * 4;
        Check(layout.pixelBytes == rowBytes * layout.rows, "rows longer than the pixels");
        Check(layout.pixelBytes - layout.storedBytes < rowBytes, "more than the last row missing");
    }
    return 0;
}
