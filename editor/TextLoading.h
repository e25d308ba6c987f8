// Reading the chosen text file into the text buffer.
#pragma once

#include "runtime/DynString.h"

#include <cstdint>

// How a load ended. Only Loaded leaves a text in LineArray.
enum class LoadResult : std::uint8_t {
    Loaded,          // the whole text is in LineArray
    CannotOpen,      // the file could not be opened
    LineTooLong,     // a line is longer than a string can hold
    TooManyLines,    // more lines than the array can hold
    NotEnoughMemory, // the text needs more memory than the system can give
    ReadFailed,      // reading the file failed part-way
    Stopped,         // the progress report asked to stop
};

struct LoadOutcome {
    LoadResult result;
    std::uint64_t lineCount; // the lines the count found; 0 before the count
};

// What a load may take on. The program loads with the defaults; tests make them small.
struct LoadLimits {
    std::uint64_t longestLine;                   // bytes of one line
    std::uint64_t mostLines;                     // lines of the text
    std::uint64_t (*availableMemory)() noexcept; // bytes the system can still give
};
LoadLimits DefaultLoadLimits() noexcept;

// The most memory a text of this many lines and bytes (line ends included) takes once
// loaded: the array's references and each line's bytes with the string store's count,
// terminator and rounding.
std::uint64_t LoadMemoryEstimate(std::uint64_t lines, std::uint64_t bytes) noexcept;

// Told, between the blocks of a load, how much of its work is done; answering false
// stops the load. Counting the lines is a ninth of the work, reading them the rest.
using LoadProgressReport = bool (*)(std::uint64_t done, std::uint64_t total) noexcept;

// Replaces LineArray with the lines of the named file, converted from the OEM to the ANSI
// code page: element 0 empty, the lines in 1 to n. Whatever LineArray held is released
// first. A load that cannot be whole reads nothing or lets go of what it read: LineArray
// is then not created, and the outcome says why.
LoadOutcome LoadTextFile(const DynString& name, LoadProgressReport report = nullptr,
                         const LoadLimits& limits = DefaultLoadLimits()) noexcept;
