// Picture files for the canvas tests, written into a temporary folder of their own.
#pragma once

#include "tests/win/support/CanvasHost.h"

#include <string>
#include <vector>

// The bytes of a 24-bit .bmp file of width x height pixels (given top row first).
std::string BitmapFileBytes(int width, int height, const PixelGrid& pixels);

// The bytes of a run-length coded .bmp file (8 or 4 bits a pixel) with a two-colour
// palette, whose header gives the stream's length as streamLength.
std::string RunLengthFileBytes(int width, int height, int bits, const PixelGrid& palette,
                               const std::string& stream, std::uint32_t streamLength);

// A folder made for one test and removed, with the files written into it, at its end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    // Writes a file and answers its full path.
    std::string Write(const std::string& name, const std::string& bytes);

  private:
    std::string path_;
    std::vector<std::string> files_;
};
