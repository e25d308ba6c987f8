// The argument text of a command line: what follows the program's name.
#pragma once

// Skips the program name: a quoted name up to its closing quote, or every byte above
// 0x20; then the spaces that follow. A quote that is never closed leaves "".
const char* SkipProgramName(const char* commandLine) noexcept;
