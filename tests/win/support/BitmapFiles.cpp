#include "tests/win/support/BitmapFiles.h"

#include <cstdint>

namespace {

void Append(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

std::string BitmapFileBytes(int width, int height, const PixelGrid& pixels) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(rowBytes * height);
    std::string bytes = "BM";
    Append(bytes, 54 + pixelBytes, 4);
    Append(bytes, 0, 4);
    Append(bytes, 54, 4);
    Append(bytes, 40, 4);
    Append(bytes, static_cast<std::uint32_t>(width), 4);
    Append(bytes, static_cast<std::uint32_t>(height), 4);
    Append(bytes, 1, 2);
    Append(bytes, 24, 2);
    Append(bytes, 0, 4); // BI_RGB
    Append(bytes, pixelBytes, 4);
    Append(bytes, 2835, 4);
    Append(bytes, 2835, 4);
    Append(bytes, 0, 4);
    Append(bytes, 0, 4);
    for (int y = height - 1; y >= 0; --y) { // bottom row first
        for (int x = 0; x < width; ++x)
            Append(bytes, pixels[static_cast<size_t>(y * width + x)], 3);
        bytes.append(static_cast<size_t>(rowBytes - width * 3), '\0');
    }
    return bytes;
}

std::string RunLengthFileBytes(int width, int height, int bits, const PixelGrid& palette,
                               const std::string& stream, std::uint32_t streamLength) {
    const std::uint32_t pixelsAt = 54 + static_cast<std::uint32_t>(palette.size()) * 4;
    std::string bytes = "BM";
    Append(bytes, pixelsAt + static_cast<std::uint32_t>(stream.size()), 4);
    Append(bytes, 0, 4);
    Append(bytes, pixelsAt, 4);
    Append(bytes, 40, 4);
    Append(bytes, static_cast<std::uint32_t>(width), 4);
    Append(bytes, static_cast<std::uint32_t>(height), 4);
    Append(bytes, 1, 2);
    Append(bytes, static_cast<std::uint32_t>(bits), 2);
    Append(bytes, bits == 8 ? 1 : 2, 4); // BI_RLE8 or BI_RLE4
    Append(bytes, streamLength, 4);
    Append(bytes, 2835, 4);
    Append(bytes, 2835, 4);
    Append(bytes, static_cast<std::uint32_t>(palette.size()), 4);
    Append(bytes, 0, 4);
    for (std::uint32_t colour : palette)
        Append(bytes, colour, 4);
    return bytes + stream;
}

TempFolder::TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "canvas-test-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    for (const std::string& file : files_)
        DeleteFileA(file.c_str());
    RemoveDirectoryA(path_.c_str());
}

std::string TempFolder::Write(const std::string& name, const std::string& bytes) {
    std::string file = path_ + "\\" + name;
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(handle);
    files_.push_back(file);
    return file;
}
