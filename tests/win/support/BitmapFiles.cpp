#include "tests/win/support/BitmapFiles.h"

#include "tests/support/BitmapMaker.h"

#include <cstdint>

std::string BitmapFileBytes(int width, int height, const PixelGrid& pixels) {
    BitmapPicture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels = pixels;
    return MakeBitmapFile(picture);
}

std::string RunLengthFileBytes(int width, int height, int bits, const PixelGrid& palette,
                               const std::string& stream, std::uint32_t streamLength) {
    BitmapPicture picture;
    picture.bitCount = static_cast<std::uint32_t>(bits);
    picture.compression = bits == 8 ? 1 : 2;
    picture.width = width;
    picture.height = height;
    picture.palette = palette;
    picture.pixelBytes = stream;
    std::string bytes = MakeBitmapFile(picture);
    PutField(bytes, BitmapField::kImageSize, streamLength);
    return bytes;
}

TempFolder::TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "canvas-test-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    for (const std::string& file : files_) {
        DeleteFileA(file.c_str());
    }
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
