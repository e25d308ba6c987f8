// The process entry and exit of a program built on the runtime.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

// Provided by the program: its main routine, whose result becomes the exit code, and the
// release of its global strings and arrays at shutdown.
std::int32_t ProgramMain(HINSTANCE instance, HINSTANCE previousInstance, const char* commandLine,
                         std::int32_t showCommand);
void ReleaseProgramGlobals() noexcept;

// Prepares the runtime, calls ProgramMain and ends the process with its result.
[[noreturn]] void RuntimeStartup() noexcept;
// Releases the program's and the runtime's state and ends the process.
[[noreturn]] void RuntimeShutdown(std::int32_t exitCode) noexcept;

// What start-up gathered for the program.
struct StartupRecord {
    HINSTANCE instance;
    const char* argumentText; // the command line without the program's name
    std::int32_t showCommand; // from STARTF_USESHOWWINDOW, else SW_SHOWDEFAULT (10)
    OSVERSIONINFOA version;
};
const StartupRecord& GetStartupRecord() noexcept;
