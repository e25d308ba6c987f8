#include "canvas/PixelString.h"

#include <limits>

namespace {

constexpr std::uint64_t kBytesPerPixel = 4;

std::int32_t ReadInt32(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return static_cast<std::int32_t>(value);
}

void WriteInt32(char* bytes, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
}

// Bytes of the pixels; both sizes are positive, so at most 4 x (2^31 - 1)^2, which
// fits 64 bits.
std::uint64_t PixelBytes(std::int32_t width, std::int32_t height) {
    return kBytesPerPixel * static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
}

} // namespace

std::uint32_t PixelStringLength(std::int32_t width, std::int32_t height) noexcept {
    if (width <= 0 || height <= 0) {
        return 0;
    }
    std::uint64_t length = kPixelHeaderSize + PixelBytes(width, height);
    if (length > std::numeric_limits<std::uint32_t>::max()) {
        return 0;
    }
    return static_cast<std::uint32_t>(length);
}

void WritePixelHeader(char* bytes, std::int32_t width, std::int32_t height) noexcept {
    WriteInt32(bytes, width);
    WriteInt32(bytes + 4, height);
}

bool ReadPixelHeader(std::string_view pixels, std::int32_t& width, std::int32_t& height) noexcept {
    if (pixels.size() < kPixelHeaderSize) {
        return false;
    }
    width = ReadInt32(pixels.data());
    height = ReadInt32(pixels.data() + 4);
    if (width <= 0 || height <= 0) {
        return false;
    }
    return PixelBytes(width, height) <= pixels.size() - kPixelHeaderSize;
}
