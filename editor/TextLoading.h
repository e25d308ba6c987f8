// Reading the chosen text file into the text buffer.
#pragma once

#include "runtime/DynString.h"

#include <cstdint>

// Told, every few thousand lines of a load, how many of the text's bytes have been read.
using LoadProgressReport = void (*)(std::uint64_t bytesRead, std::uint64_t bytesToRead) noexcept;

// Replaces LineArray with the lines of the named file, converted from the OEM to the ANSI
// code page: element 0 empty, the lines in 1 to n. A file that cannot be read gives the
// empty text (element 0 only).
void LoadTextFile(const DynString& name, LoadProgressReport report = nullptr) noexcept;
